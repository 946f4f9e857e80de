#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh Firebird database for one test, made and inspected with isql-fb: a plain file
// (embedded access, no server) or a file reached through the server on loopback.
class FirebirdTestDatabase {
public:
    enum class Access { Embedded, Server };

    // The server's address and SYSDBA password come from BRISEL_FB_HOST (default 127.0.0.1)
    // and BRISEL_FB_PASSWORD.
    static bool serverConfigured();
    static QString serverPassword();

    // Creates the database and runs `setup` (statements ended by ";") in it, committed.
    explicit FirebirdTestDatabase(Access access, const QString &setup = QString());

    // The name to attach with.
    QString name() const { return m_name; }
    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    // The values of the one column that `select` returns, in order.
    QStringList column(const QString &select);

private:
    QString isql(const QString &input, bool connect);

    Access m_access;
    QTemporaryDir m_dir;
    QString m_name;
    QString m_error;
};
