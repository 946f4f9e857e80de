#include "validation/ValidationSettings.h"

#include "base/IniFile.h"

namespace {
const QString section = QStringLiteral("validacao");
const QString databaseKey = QStringLiteral("database");
const QString passwordKey = QStringLiteral("password");
const QString trialKey = QStringLiteral("ensaio");
} // namespace

ValidationSettings::ValidationSettings(const QString &iniPath) : m_iniPath(iniPath) {}

ValidationSettings::Values ValidationSettings::read() const {
    const IniFile ini(m_iniPath);
    return {ini.value(section, databaseKey), ini.value(section, passwordKey)};
}

void ValidationSettings::write(const Values &values) const {
    // Read again right before writing, so keys written meanwhile by others survive.
    IniFile ini(m_iniPath);
    ini.setValue(section, databaseKey, values.database);
    ini.remove(section, passwordKey);
    ini.save(m_iniPath);
}

void ValidationSettings::removePassword() const {
    IniFile ini(m_iniPath);
    if (!ini.contains(section, passwordKey))
        return;
    ini.remove(section, passwordKey);
    ini.save(m_iniPath);
}

bool ValidationSettings::readTrial() const {
    return IniFile(m_iniPath).value(section, trialKey) == u"1";
}

void ValidationSettings::writeTrial(bool trial) const {
    IniFile ini(m_iniPath);
    ini.setValue(section, trialKey, trial ? QStringLiteral("1") : QStringLiteral("0"));
    ini.save(m_iniPath);
}
