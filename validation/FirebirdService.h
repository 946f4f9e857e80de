#pragma once

#include "validation/FirebirdClient.h"

#include <QByteArray>
#include <QString>

// An attachment to a Firebird service manager ("service_mgr" for the engine in this process,
// "host:service_mgr" for a server), through which the server does file work under its own rights.
class FirebirdService {
public:
    explicit FirebirdService(FirebirdClient &client);
    ~FirebirdService();
    FirebirdService(const FirebirdService &) = delete;
    FirebirdService &operator=(const FirebirdService &) = delete;

    // Throws FirebirdError when refused.
    void attach(const QString &serviceManager, const QString &user, const QString &password);
    // Restores a level-0 nbackup file (or a database file locked with ALTER DATABASE BEGIN
    // BACKUP, which is the same thing on disk) into a new database `target`, and waits for the
    // end. Both names are paths on the service's machine. Throws FirebirdError with the server's
    // reason.
    void restoreNbackup(const QString &source, const QString &target);
    void detach();

private:
    void waitForEnd();
    [[noreturn]] void fail(const ISC_STATUS *status);

    FirebirdClient &m_client;
    isc_svc_handle m_service = 0;
};
