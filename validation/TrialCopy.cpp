#include "validation/TrialCopy.h"

#include "validation/DatabaseName.h"
#include "validation/FirebirdConnection.h"
#include "validation/FirebirdError.h"
#include "validation/FirebirdService.h"

#include <QDeadlineTimer>
#include <QThread>

namespace {

const QString sysdba = QStringLiteral("sysdba");

// ALTER DATABASE BEGIN or END BACKUP. Another trial on the same database holds backup mode for
// the moment of its copy, and its own ALTER DATABASE for less: those are waited for, a while.
void alterDatabase(FirebirdConnection &database, const QByteArray &statement) {
    QDeadlineTimer patience(10000);
    for (;;) {
        try {
            database.execute(statement);
            database.commit();
            return;
        } catch (const FirebirdError &error) {
            database.rollback();
            const bool otherTrial =
                error.message().contains(QStringLiteral("Concurrent ALTER DATABASE")) ||
                (statement.contains("BEGIN") &&
                 error.message().contains(QStringLiteral("already in the physical backup mode")));
            if (!otherTrial || patience.hasExpired())
                throw;
        }
        QThread::msleep(100);
    }
}

void beginBackup(FirebirdConnection &database) {
    alterDatabase(database, QByteArrayLiteral("ALTER DATABASE BEGIN BACKUP"));
}

void endBackup(FirebirdConnection &database) {
    alterDatabase(database, QByteArrayLiteral("ALTER DATABASE END BACKUP"));
}

// Drops a database by its name; one that does not exist is taken as dropped. Throws Exception.
void dropByName(FirebirdClient &client, const QString &name, const QString &password) {
    FirebirdConnection copy(client);
    try {
        copy.open(name, sysdba, password);
    } catch (const FirebirdError &error) {
        if (error.fileMissing())
            return;
        throw;
    }
    copy.dropDatabase();
}

// The folder of a path on the server, with its separator; the server may be Windows.
QString folderOf(const QString &path) {
    return path.left(qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1);
}

} // namespace

TrialCopy::TrialCopy(FirebirdClient &client, const TrialCopyRegistry &registry, FirebirdConnection &original,
                     const QString &database, const QString &password)
    : m_client(client), m_registry(registry), m_password(password) {
    const DatabaseName name = DatabaseName::parse(database);
    QString file;
    try {
        // The file itself, as the server sees it (also for an alias).
        file = original.text(QByteArrayLiteral("SELECT MON$DATABASE_NAME FROM MON$DATABASE"));
        original.commit();
    } catch (const Exception &error) {
        throw Failure(error.message());
    }
    const QString copyPath = folderOf(file) + TrialCopyRegistry::newCopyFileName();
    m_entry = {database, name.onSameServer(copyPath), true};
    try {
        m_key = m_registry.add(m_entry);
    } catch (const Exception &error) {
        throw Failure(error.message());
    }

    try {
        beginBackup(original);
    } catch (const Exception &error) {
        m_registry.remove(m_key);
        throw Failure(error.message());
    }
    QString reason;
    try {
        FirebirdService service(m_client);
        service.attach(name.serviceManager(), sysdba, password);
        service.restoreNbackup(file, copyPath);
    } catch (const Exception &error) {
        reason = error.message();
    }
    try {
        endBackup(original);
        m_entry.locked = false;
        m_registry.update(m_key, m_entry);
    } catch (const Exception &error) {
        // Left in the registry as locked: a later start ends the backup mode.
        if (reason.isEmpty())
            reason = error.message();
    }
    if (reason.isEmpty())
        return;
    try {
        dropByName(m_client, m_entry.copy, m_password);
        if (!m_entry.locked)
            m_registry.remove(m_key);
    } catch (const Exception &) {
        // Kept in the registry for a later start.
    }
    throw Failure(reason);
}

TrialCopy::~TrialCopy() {
    try {
        drop();
    } catch (const Exception &) {
        // Kept in the registry for a later start.
    }
}

void TrialCopy::drop() {
    if (m_dropped)
        return;
    dropByName(m_client, m_entry.copy, m_password);
    m_dropped = true;
    m_registry.remove(m_key);
}

int TrialCopy::removeLeftovers(FirebirdClient &client, const TrialCopyRegistry &registry,
                               const QString &password, const QString &onlyDatabase) {
    return removeLeftoversOf(client, registry, password, [&](const TrialCopyRegistry::Entry &entry) {
        return onlyDatabase.isEmpty() || entry.database == onlyDatabase;
    });
}

int TrialCopy::removeLocalLeftovers(FirebirdClient &client, const TrialCopyRegistry &registry) {
    return removeLeftoversOf(client, registry, QString(), [](const TrialCopyRegistry::Entry &entry) {
        return DatabaseName::parse(entry.copy).server.isEmpty();
    });
}

int TrialCopy::removeLeftoversOf(FirebirdClient &client, const TrialCopyRegistry &registry,
                                 const QString &password,
                                 const std::function<bool(const TrialCopyRegistry::Entry &)> &which) {
    int removed = 0;
    for (const TrialCopyRegistry::Leftover &leftover : registry.claimLeftovers()) {
        if (!which(leftover.entry)) {
            registry.giveBack(leftover);
            continue;
        }
        try {
            if (leftover.entry.locked) {
                FirebirdConnection database(client);
                database.open(leftover.entry.database, sysdba, password);
                try {
                    endBackup(database);
                } catch (const FirebirdError &) {
                    // Not in backup mode: the killed process had ended it already.
                }
            }
            dropByName(client, leftover.entry.copy, password);
            registry.remove(leftover.key);
            ++removed;
        } catch (const Exception &) {
            registry.giveBack(leftover);
        }
    }
    return removed;
}
