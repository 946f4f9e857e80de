#include "validation/FirebirdConnection.h"

#include "base/Windows1252.h"
#include "validation/FirebirdError.h"
#include "validation/ParameterBlock.h"

#include <QFile>

#include <cstring>

#include <vector>

namespace {

const short sqlDialect = 3;

} // namespace

FirebirdConnection::FirebirdConnection(FirebirdClient &client) : m_client(client) {}

FirebirdConnection::~FirebirdConnection() {
    close();
}

void FirebirdConnection::open(const QString &database, const QString &user, const QString &password) {
    close();
    const FirebirdClient::Api &api = m_client.api();
    ParameterBlock dpb(isc_dpb_version1);
    dpb.addShort(isc_dpb_user_name, user.toUtf8());
    if (!password.isEmpty())
        dpb.addShort(isc_dpb_password, password.toUtf8());
    dpb.addShort(isc_dpb_lc_ctype, QByteArrayLiteral("WIN1252"));
    const QByteArray name = QFile::encodeName(database);
    ISC_STATUS_ARRAY status;
    if (api.attachDatabase(status, short(name.size()), name.constData(), &m_database,
                           short(dpb.bytes().size()), dpb.bytes().constData()))
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

bool FirebirdConnection::execute(const QByteArray &statement) {
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
    return type == isc_info_sql_stmt_ddl;
}

QString FirebirdConnection::text(const QByteArray &select) {
    const FirebirdClient::Api &api = m_client.api();
    if (!m_transaction)
        startTransaction();
    std::vector<char> area(XSQLDA_LENGTH(1));
    auto *row = reinterpret_cast<XSQLDA *>(area.data());
    row->version = SQLDA_VERSION1;
    row->sqln = 1;
    ISC_STATUS_ARRAY status;
    if (api.prepare(status, &m_transaction, &m_statement, 0, select.constData(), sqlDialect, row))
        fail(status);
    if (row->sqld != 1)
        throw FirebirdError(QStringLiteral("A consulta interna não devolveu uma coluna."));
    XSQLVAR &column = row->sqlvar[0];
    // Every type the server can turn into text arrives as a counted string.
    column.sqltype = SQL_VARYING + 1;
    column.sqllen = 4096;
    std::vector<char> value(sizeof(short) + 4096);
    short null = 0;
    column.sqldata = value.data();
    column.sqlind = &null;
    if (api.execute(status, &m_transaction, &m_statement, sqlDialect, nullptr))
        fail(status);
    const ISC_STATUS fetched = api.fetch(status, &m_statement, SQLDA_VERSION1, row);
    ISC_STATUS_ARRAY closeStatus;
    api.freeStatement(closeStatus, &m_statement, DSQL_close);
    if (fetched != 0 && fetched != 100) // 100: no row
        fail(status);
    if (fetched == 100 || null)
        return QString();
    short length;
    std::memcpy(&length, value.data(), sizeof length);
    return Windows1252::toUnicode(QByteArray(value.data() + sizeof length, length));
}

void FirebirdConnection::dropDatabase() {
    const FirebirdClient::Api &api = m_client.api();
    ISC_STATUS_ARRAY status;
    if (m_statement)
        api.freeStatement(status, &m_statement, DSQL_drop);
    m_statement = 0;
    if (m_transaction)
        api.rollbackTransaction(status, &m_transaction);
    m_transaction = 0;
    if (api.dropDatabase(status, &m_database))
        fail(status);
    m_database = 0;
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
    throw FirebirdError(m_client.errorText(status), FirebirdClient::fileMissing(status));
}
