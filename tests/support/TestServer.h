#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Starts the built brisel-scripts-server ($BRISEL_BUILD_DIR/server/brisel-scripts-server) on a free
// loopback port with an in-memory database and the given users ("NAME:PASSWORD"), and stops it
// when destroyed. Throws std::runtime_error when it does not start. Its request log goes to a
// file, so a server nobody reads from never stalls on a full pipe.
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

    static QString executable();

private:
    QTemporaryDir m_dir;
    QString m_logPath;
    QProcess m_process;
    int m_port = 0;
};
