#pragma once

#include "validation/FirebirdClient.h"

#include <QByteArray>
#include <QString>

// One attachment and its one read-committed transaction, started by the first statement
// that needs it and ended only by commit() or rollback(). Not thread-safe: one run at a time.
class FirebirdConnection {
public:
    explicit FirebirdConnection(FirebirdClient &client);
    ~FirebirdConnection();
    FirebirdConnection(const FirebirdConnection &) = delete;
    FirebirdConnection &operator=(const FirebirdConnection &) = delete;

    bool isOpen() const { return m_database != 0; }
    // An empty password passes none at all. Statements travel as Windows-1252 text.
    // Throws FirebirdError when the attachment is refused, Exception when the client is missing.
    void open(const QString &database, const QString &user, const QString &password);
    // Rolls back a transaction left open and detaches; never throws.
    void close();

    // Executes one statement once, unchanged; rows it returns are not fetched. True when it was
    // a DDL statement. Throws FirebirdError when the database rejects it.
    bool execute(const QByteArray &statement);
    // The first column of the first row of `select`, as text (empty for no row or NULL).
    QString text(const QByteArray &select);
    // Drops the attached database (its file is deleted by the server) and closes.
    void dropDatabase();
    // Do nothing when no transaction is active. Throw FirebirdError on failure.
    void commit();
    void rollback();
    bool inTransaction() const { return m_transaction != 0; }

private:
    void startTransaction();
    int statementType();
    [[noreturn]] void fail(const ISC_STATUS *status);

    FirebirdClient &m_client;
    isc_db_handle m_database = 0;
    isc_tr_handle m_transaction = 0;
    isc_stmt_handle m_statement = 0;
};
