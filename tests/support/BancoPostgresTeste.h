#pragma once

#include <QString>

// A fresh, uniquely named PostgreSQL database on the test cluster ($BRISEL_TEST_PG_URI, started by
// tools/run-tests.sh or tools/postgres-test-server.sh), dropped with whatever still uses it when
// destroyed. Throws std::runtime_error when the cluster is not configured or refuses the database,
// so a test that needs PostgreSQL fails instead of passing without it.
class BancoPostgresTeste {
public:
    BancoPostgresTeste();
    ~BancoPostgresTeste();
    BancoPostgresTeste(const BancoPostgresTeste &) = delete;
    BancoPostgresTeste &operator=(const BancoPostgresTeste &) = delete;

    // The database's libpq connection URI (what brisel-scripts-server --db takes).
    QString uri() const { return m_uri; }
    QString nome() const { return m_nome; }

    // The cluster's superuser URI from $BRISEL_TEST_PG_URI; throws when it is not set.
    static QString uriDoServidor();
    // Runs one statement on the database at uri; throws with the server's message when it fails.
    static void executar(const QString &uri, const QString &sql);

private:
    QString m_servidor;
    QString m_nome;
    QString m_uri;
};
