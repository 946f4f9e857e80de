#pragma once

#include <ibase.h>

#include <QString>

#include <mutex>

// The Firebird client library, loaded when first needed rather than linked, so that the
// program starts and does everything but validation on a machine without it.
class FirebirdClient {
public:
    // The entry points the runner uses.
    struct Api {
        decltype(&isc_attach_database) attachDatabase;
        decltype(&isc_detach_database) detachDatabase;
        decltype(&isc_start_transaction) startTransaction;
        decltype(&isc_commit_transaction) commitTransaction;
        decltype(&isc_rollback_transaction) rollbackTransaction;
        decltype(&isc_dsql_allocate_statement) allocateStatement;
        decltype(&isc_dsql_prepare) prepare;
        decltype(&isc_dsql_sql_info) sqlInfo;
        decltype(&isc_dsql_execute) execute;
        decltype(&isc_dsql_free_statement) freeStatement;
        decltype(&isc_dsql_fetch) fetch;
        decltype(&isc_database_info) databaseInfo;
        decltype(&isc_drop_database) dropDatabase;
        decltype(&isc_service_attach) serviceAttach;
        decltype(&isc_service_detach) serviceDetach;
        decltype(&isc_service_start) serviceStart;
        decltype(&isc_service_query) serviceQuery;
        decltype(&fb_interpret) interpret;
    };

    // `library`: a file name for the dynamic loader, or a path.
    explicit FirebirdClient(const QString &library);
    FirebirdClient(const FirebirdClient &) = delete;
    FirebirdClient &operator=(const FirebirdClient &) = delete;

    // The system's libfbclient.so.2, shared by every window.
    static FirebirdClient &system();

    // Loads the library on first use (never unloaded: it keeps threads of its own).
    // Throws Exception when it or one of its entry points is missing.
    const Api &api();
    // The messages of an error status vector, one per line.
    QString errorText(const ISC_STATUS *status);
    // Whether the status says a file does not exist (the system's ENOENT, as the server saw it).
    static bool fileMissing(const ISC_STATUS *status);

private:
    void load();

    QString m_library;
    std::once_flag m_loaded;
    Api m_api{};
    QString m_loadError;
};
