#include "tests/support/TestServer.h"

#include <QRegularExpression>

#include <stdexcept>

QString TestServer::executable() {
    return qEnvironmentVariable("BRISEL_BUILD_DIR") + QStringLiteral("/server/brisel-scripts-server");
}

TestServer::TestServer(const QStringList &users, const QStringList &extraArgs) {
    QStringList args{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                     QStringLiteral(":memory:")};
    for (const QString &user : users)
        args << QStringLiteral("--user") << user;
    args << extraArgs;
    m_process.start(executable(), args);
    if (!m_process.waitForStarted(10000))
        throw std::runtime_error("brisel-scripts-server did not start: " +
                                 m_process.errorString().toStdString());
    QByteArray out;
    static const QRegularExpression listening(QStringLiteral("listening on http://[^\\s]+:(\\d+)"));
    while (!out.contains('\n')) {
        if (!m_process.waitForReadyRead(10000))
            throw std::runtime_error("brisel-scripts-server printed no port: " +
                                     m_process.readAllStandardError().toStdString());
        out += m_process.readAllStandardOutput();
    }
    const auto match = listening.match(QString::fromUtf8(out));
    if (!match.hasMatch())
        throw std::runtime_error("unexpected output of brisel-scripts-server: " + out.toStdString());
    m_port = match.captured(1).toInt();
}

TestServer::~TestServer() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString TestServer::rootUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QString TestServer::baseUrl() const {
    return rootUrl() + QStringLiteral("/services/index.php/scripts");
}

QString TestServer::log() {
    // Without an event loop the pipe is read only while waiting on it.
    m_process.setReadChannel(QProcess::StandardError);
    while (m_process.waitForReadyRead(200))
        m_log += m_process.readAllStandardError();
    m_log += m_process.readAllStandardError();
    return QString::fromUtf8(m_log);
}
