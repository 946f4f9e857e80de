#pragma once

#include "tests/support/BancoPostgresTeste.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Starts the built brisel-scripts-server ($BRISEL_BUILD_DIR/server/brisel-scripts-server) on a free
// loopback port with the given users ("NAME:PASSWORD"), and stops it when destroyed. Its database
// is the one a --db in extraArgs names, else the storage BRISEL_TEST_STORAGE chooses: an
// in-memory SQLite database by default, a fresh PostgreSQL database (BancoPostgresTeste) with
// "postgres". Throws std::runtime_error when it does not start. Its request log goes to a file, so
// a server nobody reads from never stalls on a full pipe.
class TestServer {
public:
    explicit TestServer(const QStringList &users = {QStringLiteral("DEV:senha")},
                        const QStringList &extraArgs = {});
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    int port() const { return m_port; }
    // The service root, e.g. http://127.0.0.1:40123 (what BRISEL_SERVICE_URL takes).
    QString rootUrl() const;
    // The scripts base address below the root.
    QString baseUrl() const;
    // What the server wrote on standard error so far (one line per request). Waits until the log
    // has been still for a moment: the server writes a request's line after answering it.
    QString log() const;

    // Ends the process with SIGKILL: nothing is flushed or closed.
    void kill();
    // Freezes the process (SIGSTOP) or lets it go on (SIGCONT): a service that stops answering for
    // a while, whose kernel still takes connections and requests meanwhile.
    void pausar(bool pausado);

    static QString executable();

private:
    // Whether BRISEL_TEST_STORAGE chooses PostgreSQL; throws on a value it does not know.
    static bool postgresEscolhido();

    std::unique_ptr<BancoPostgresTeste> m_banco;
    QTemporaryDir m_dir;
    QString m_logPath;
    QProcess m_process;
    int m_port = 0;
};
