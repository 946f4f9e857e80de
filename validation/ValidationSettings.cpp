#include "validation/ValidationSettings.h"

#include "base/IniFile.h"

namespace {
const QString section = QStringLiteral("validacao");
const QString databaseKey = QStringLiteral("database");
const QString passwordKey = QStringLiteral("password");
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
    ini.setValue(section, passwordKey, values.password);
    ini.save(m_iniPath);
}
