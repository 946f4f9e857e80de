#include "validation/FirebirdClient.h"

#include "base/Exception.h"
#include "base/Windows1252.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <dlfcn.h>

FirebirdClient::FirebirdClient(const QString &library) : m_library(library) {}

FirebirdClient &FirebirdClient::system() {
    static FirebirdClient client(QStringLiteral("libfbclient.so.2"));
    return client;
}

const FirebirdClient::Api &FirebirdClient::api() {
    std::call_once(m_loaded, [this] { load(); });
    if (!m_loadError.isEmpty())
        throw Exception(m_loadError);
    return m_api;
}

void FirebirdClient::load() {
    void *handle = dlopen(QFile::encodeName(m_library).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        m_loadError = QStringLiteral("Biblioteca cliente do Firebird não encontrada (%1).")
                          .arg(QString::fromLocal8Bit(dlerror()));
        return;
    }
    const auto resolve = [&](auto &entry, const char *name) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(dlsym(handle, name));
        if (!entry && m_loadError.isEmpty())
            m_loadError = QStringLiteral("A biblioteca cliente do Firebird %1 não tem a função %2.")
                              .arg(m_library, QLatin1StringView(name));
    };
    resolve(m_api.attachDatabase, "isc_attach_database");
    resolve(m_api.detachDatabase, "isc_detach_database");
    resolve(m_api.startTransaction, "isc_start_transaction");
    resolve(m_api.commitTransaction, "isc_commit_transaction");
    resolve(m_api.rollbackTransaction, "isc_rollback_transaction");
    resolve(m_api.allocateStatement, "isc_dsql_allocate_statement");
    resolve(m_api.prepare, "isc_dsql_prepare");
    resolve(m_api.sqlInfo, "isc_dsql_sql_info");
    resolve(m_api.execute, "isc_dsql_execute");
    resolve(m_api.freeStatement, "isc_dsql_free_statement");
    resolve(m_api.fetch, "isc_dsql_fetch");
    resolve(m_api.databaseInfo, "isc_database_info");
    resolve(m_api.dropDatabase, "isc_drop_database");
    resolve(m_api.serviceAttach, "isc_service_attach");
    resolve(m_api.serviceDetach, "isc_service_detach");
    resolve(m_api.serviceStart, "isc_service_start");
    resolve(m_api.serviceQuery, "isc_service_query");
    resolve(m_api.interpret, "fb_interpret");
}

QString FirebirdClient::errorText(const ISC_STATUS *status) {
    QStringList lines;
    const ISC_STATUS *cursor = status;
    char buffer[1024];
    while (api().interpret(buffer, sizeof buffer, &cursor) > 0)
        lines.append(Windows1252::toUnicode(QByteArray(buffer)));
    return lines.join(u'\n');
}

bool FirebirdClient::fileMissing(const ISC_STATUS *status) {
    // Pairs of (kind, value) up to isc_arg_end; a string with its length takes three places.
    for (const ISC_STATUS *p = status; *p != isc_arg_end;) {
        if (p[0] == isc_arg_unix && p[1] == ENOENT)
            return true;
        p += p[0] == isc_arg_cstring ? 3 : 2;
    }
    return false;
}
