#include "validation/TrialCopyRegistry.h"

#include "base/Exception.h"
#include "base/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <atomic>

namespace {

const QString section = QStringLiteral("copia");
const QString claimedMark = QStringLiteral(".limpando-");

// The process's start time in clock ticks since boot (field 22 of /proc/PID/stat), which tells
// a live owner from a later process that got the same number; empty when there is no such process.
QString startTimeOf(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray text = stat.readAll();
    // The command name in parentheses may hold blanks: count the fields after its last ")".
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 19 ? QString::fromLatin1(fields.at(19)) : QString();
}

bool processAlive(qint64 pid, const QString &startTime) {
    return pid > 0 && !startTime.isEmpty() && startTimeOf(pid) == startTime;
}

// The owner written in a claimed file's name, or 0.
qint64 claimer(const QString &fileName) {
    const qsizetype at = fileName.lastIndexOf(claimedMark);
    return at < 0 ? 0 : fileName.mid(at + claimedMark.size()).toLongLong();
}

} // namespace

TrialCopyRegistry::TrialCopyRegistry(const QString &folder) : m_folder(folder) {}

TrialCopyRegistry TrialCopyRegistry::standard() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return TrialCopyRegistry(state + QStringLiteral("/BriselScripts/ensaios"));
}

QString TrialCopyRegistry::newCopyFileName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("brisel-ensaio-%1-%2.fdb").arg(QCoreApplication::applicationPid()).arg(++counter);
}

QString TrialCopyRegistry::add(const Entry &entry) const {
    static std::atomic<int> counter{0};
    if (!QDir().mkpath(m_folder))
        throw Exception(QStringLiteral("A pasta %1 não pode ser criada.").arg(m_folder));
    return write(QStringLiteral("%1-%2.ini").arg(QCoreApplication::applicationPid()).arg(++counter), entry);
}

void TrialCopyRegistry::update(const QString &key, const Entry &entry) const {
    write(key, entry);
}

QString TrialCopyRegistry::write(const QString &fileName, const Entry &entry) const {
    const qint64 pid = QCoreApplication::applicationPid();
    IniFile ini;
    ini.setValue(section, QStringLiteral("pid"), QString::number(pid));
    ini.setValue(section, QStringLiteral("inicio"), startTimeOf(pid));
    ini.setValue(section, QStringLiteral("banco"), entry.database);
    ini.setValue(section, QStringLiteral("copia"), entry.copy);
    ini.setValue(section, QStringLiteral("bloqueado"),
                 entry.locked ? QStringLiteral("1") : QStringLiteral("0"));
    ini.save(QDir(m_folder).filePath(fileName));
    return fileName;
}

void TrialCopyRegistry::remove(const QString &key) const {
    QFile::remove(QDir(m_folder).filePath(key));
}

std::vector<TrialCopyRegistry::Leftover> TrialCopyRegistry::claimLeftovers() const {
    std::vector<Leftover> leftovers;
    const QDir dir(m_folder);
    const qint64 self = QCoreApplication::applicationPid();
    for (const QString &fileName : dir.entryList({QStringLiteral("*.ini*")}, QDir::Files)) {
        const IniFile ini(dir.filePath(fileName));
        const qint64 owner = ini.value(section, QStringLiteral("pid")).toLongLong();
        if (owner == self || processAlive(owner, ini.value(section, QStringLiteral("inicio"))))
            continue;
        // Claimed by a cleaner that is still at work.
        const qint64 cleaner = claimer(fileName);
        if (cleaner == self || (cleaner && QFile::exists(QStringLiteral("/proc/%1").arg(cleaner))))
            continue;
        // A rename succeeds for one process only.
        const QString base = cleaner ? fileName.left(fileName.lastIndexOf(claimedMark)) : fileName;
        const QString claimed = base + claimedMark + QString::number(self);
        if (!QFile::rename(dir.filePath(fileName), dir.filePath(claimed)))
            continue;
        leftovers.push_back(
            {claimed,
             {ini.value(section, QStringLiteral("banco")), ini.value(section, QStringLiteral("copia")),
              ini.value(section, QStringLiteral("bloqueado")) == u"1"}});
    }
    return leftovers;
}

void TrialCopyRegistry::giveBack(const Leftover &leftover) const {
    const QDir dir(m_folder);
    QFile::rename(dir.filePath(leftover.key),
                  dir.filePath(leftover.key.left(leftover.key.lastIndexOf(claimedMark))));
}
