#pragma once

#include "validation/FirebirdClient.h"
#include "validation/TrialCopyRegistry.h"

#include <QString>

#include <functional>

class FirebirdConnection;

// A disposable copy of a database, beside it on the same server, made with Firebird's own
// means: the database is put into backup mode (ALTER DATABASE BEGIN BACKUP), the service
// manager restores its now quiet main file as a level-0 nbackup into the copy, and backup mode
// ends. Other attachments go on working meanwhile (their changes wait in the delta file), the
// server does the file work under its own rights, and the same calls serve a local file (the
// engine in this process), host:path and aliases.
//
// Chosen by measurement on a 165 MB database: gbak backup and restore took 2.5 to 3 s; the
// service's nbackup to a file and restore from it 0.3 to 0.7 s, and it leaves a backup file that
// no Firebird call can delete on a server; lock, restore from the database file and unlock 0.13
// to 0.2 s, about the time of copying the file with cp, with nothing but the copy written.
//
// Dropped by drop() or the destructor; a copy whose process was killed is found through the
// registry and removed by removeLeftovers().
class TrialCopy {
public:
    // Failed to make the copy: nothing is left behind. The message is the reason.
    class Failure : public std::exception {
    public:
        explicit Failure(const QString &reason) : m_reason(reason) {}
        const QString &reason() const { return m_reason; }
        const char *what() const noexcept override { return "trial copy"; }

    private:
        QString m_reason;
    };

    // `original`: an attachment to `database` as SYSDBA with `password`. Throws Failure.
    TrialCopy(FirebirdClient &client, const TrialCopyRegistry &registry, FirebirdConnection &original,
              const QString &database, const QString &password);
    ~TrialCopy();
    TrialCopy(const TrialCopy &) = delete;
    TrialCopy &operator=(const TrialCopy &) = delete;

    // The name to attach to the copy with.
    const QString &name() const { return m_entry.copy; }
    // Deletes the copy (every attachment to it must be closed). Throws Exception; a copy that
    // cannot be dropped stays in the registry for a later attempt.
    void drop();

    // Removes the copies, and ends the backup mode, that ended processes left behind (of
    // `onlyDatabase` alone when given). Returns how many copies were removed; those that cannot
    // be reached now (another password, a server that does not answer) are kept for next time.
    static int removeLeftovers(FirebirdClient &client, const TrialCopyRegistry &registry,
                               const QString &password, const QString &onlyDatabase = QString());
    // Those of local files alone, which the engine in this process drops without a server to
    // wait for or a password: for the program's start.
    static int removeLocalLeftovers(FirebirdClient &client, const TrialCopyRegistry &registry);

private:
    static int removeLeftoversOf(FirebirdClient &client, const TrialCopyRegistry &registry,
                                 const QString &password,
                                 const std::function<bool(const TrialCopyRegistry::Entry &)> &which);

    FirebirdClient &m_client;
    TrialCopyRegistry m_registry;
    QString m_password;
    TrialCopyRegistry::Entry m_entry;
    QString m_key;
    bool m_dropped = false;
};
