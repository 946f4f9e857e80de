#include "validation/FirebirdConnection.h"

#include "validation/FirebirdError.h"

#include <QFile>

namespace {

const short sqlDialect = 3;

void appendParameter(QByteArray &dpb, char tag, const QByteArray &value) {
    if (value.size() > 255) // the parameter block's length byte
        throw Exception(QStringLiteral("A senha passa de 255 bytes."));
    dpb.append(tag);
    dpb.append(char(value.size()));
    dpb.append(value);
}

} // namespace

FirebirdConnection::FirebirdConnection(FirebirdClient &client) : m_client(client) {}

FirebirdConnection::~FirebirdConnection() {
    close();
}

void FirebirdConnection::open(const QString &database, const QString &user, const QString &password) {
    close();
    const FirebirdClient::Api &api = m_client.api();
    QByteArray dpb(1, char(isc_dpb_version1));
    appendParameter(dpb, isc_dpb_user_name, user.toUtf8());
    if (!password.isEmpty())
        appendParameter(dpb, isc_dpb_password, password.toUtf8());
    appendParameter(dpb, isc_dpb_lc_ctype, QByteArrayLiteral("WIN1252"));
    const QByteArray name = QFile::encodeName(database);
    ISC_STATUS_ARRAY status;
    if (api.attachDatabase(status, short(name.size()), name.constData(), &m_database, short(dpb.size()),
                           dpb.constData()))
        fail(status);
    if (api.allocateStatement(status, &m_database, &m_statement)) {
        const FirebirdError error(m_client.errorText(status));
        close();
        throw error;
    }
}

void FirebirdConnection::close() {
    if (!isOpen())
        return;
    const FirebirdClient::Api &api = m_client.api();
    ISC_STATUS_ARRAY status;
    if (m_statement)
        api.freeStatement(status, &m_statement, DSQL_drop);
    if (m_transaction)
        api.rollbackTransaction(status, &m_transaction);
    api.detachDatabase(status, &m_database);
    // A failed detach (a lost server) leaves nothing that could still be used.
    m_statement = 0;
    m_transaction = 0;
    m_database = 0;
}

void FirebirdConnection::startTransaction() {
    // Lock conflicts fail at once: a validation run waiting for another user would look hung.
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                               isc_tpb_nowait};
    ISC_STATUS_ARRAY status;
    if (m_client.api().startTransaction(status, &m_transaction, 1, &m_database, sizeof tpb, tpb))
        fail(status);
}

void FirebirdConnection::execute(const QByteArray &statement) {
    const FirebirdClient::Api &api = m_client.api();
    if (!m_transaction)
        startTransaction();
    ISC_STATUS_ARRAY status;
    if (api.prepare(status, &m_transaction, &m_statement, 0, statement.constData(), sqlDialect, nullptr))
        fail(status);
    const int type = statementType();
    // A COMMIT or ROLLBACK statement ends the transaction and clears the handle: the next
    // statement starts a new one.
    if (api.execute(status, &m_transaction, &m_statement, sqlDialect, nullptr))
        fail(status);
    if (type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd) {
        if (api.freeStatement(status, &m_statement, DSQL_close))
            fail(status);
    }
}

int FirebirdConnection::statementType() {
    static const char request[] = {isc_info_sql_stmt_type};
    char reply[16];
    ISC_STATUS_ARRAY status;
    if (m_client.api().sqlInfo(status, &m_statement, sizeof request, request, sizeof reply, reply))
        fail(status);
    if (reply[0] != isc_info_sql_stmt_type)
        return 0;
    const int length = (unsigned char)reply[1] | ((unsigned char)reply[2] << 8);
    int type = 0;
    for (int i = 0; i < length && i < 4; ++i)
        type |= (unsigned char)reply[3 + i] << (8 * i);
    return type;
}

void FirebirdConnection::commit() {
    if (!m_transaction)
        return;
    ISC_STATUS_ARRAY status;
    if (m_client.api().commitTransaction(status, &m_transaction))
        fail(status);
}

void FirebirdConnection::rollback() {
    if (!m_transaction)
        return;
    ISC_STATUS_ARRAY status;
    if (m_client.api().rollbackTransaction(status, &m_transaction))
        fail(status);
}

void FirebirdConnection::fail(const ISC_STATUS *status) {
    throw FirebirdError(m_client.errorText(status));
}
