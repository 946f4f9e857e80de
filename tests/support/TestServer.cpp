#include "tests/support/TestServer.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <stdexcept>

QString TestServer::executable() {
    return qEnvironmentVariable("BRISEL_BUILD_DIR") + QStringLiteral("/server/brisel-scripts-server");
}

bool TestServer::postgresEscolhido() {
    const QString escolha = qEnvironmentVariable("BRISEL_TEST_STORAGE");
    if (escolha.isEmpty() || escolha == QLatin1String("sqlite"))
        return false;
    if (escolha == QLatin1String("postgres"))
        return true;
    throw std::runtime_error("unknown BRISEL_TEST_STORAGE (sqlite or postgres): " + escolha.toStdString());
}

TestServer::TestServer(const QStringList &users, const QStringList &extraArgs) {
    QStringList args{QStringLiteral("--port"), QStringLiteral("0")};
    if (!extraArgs.contains(QLatin1String("--db"))) {
        if (postgresEscolhido())
            m_banco = std::make_unique<BancoPostgresTeste>();
        args << QStringLiteral("--db") << (m_banco ? m_banco->uri() : QStringLiteral(":memory:"));
    }
    for (const QString &user : users)
        args << QStringLiteral("--user") << user;
    args << extraArgs;
    if (!m_dir.isValid())
        throw std::runtime_error("no folder for the log of brisel-scripts-server: " +
                                 m_dir.errorString().toStdString());
    m_logPath = m_dir.filePath(QStringLiteral("server.log"));
    m_process.setStandardErrorFile(m_logPath);
    m_process.start(executable(), args);
    if (!m_process.waitForStarted(10000))
        throw std::runtime_error("brisel-scripts-server did not start: " +
                                 m_process.errorString().toStdString());
    QByteArray out;
    static const QRegularExpression listening(QStringLiteral("listening on http://[^\\s]+:(\\d+)"));
    while (!out.contains('\n')) {
        if (!m_process.waitForReadyRead(10000))
            throw std::runtime_error("brisel-scripts-server printed no port: " + log().toStdString());
        out += m_process.readAllStandardOutput();
    }
    const auto match = listening.match(QString::fromUtf8(out));
    if (!match.hasMatch())
        throw std::runtime_error("unexpected output of brisel-scripts-server: " + out.toStdString());
    m_port = match.captured(1).toInt();
}

TestServer::~TestServer() {
    pausar(false); // a frozen process would not take the SIGTERM
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void TestServer::kill() {
    m_process.kill();
    m_process.waitForFinished(5000);
}

void TestServer::pausar(bool pausado) {
    if (m_process.processId() > 0)
        ::kill(pid_t(m_process.processId()), pausado ? SIGSTOP : SIGCONT);
}

QString TestServer::rootUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QString TestServer::baseUrl() const {
    return rootUrl() + QStringLiteral("/services/index.php/scripts");
}

QString TestServer::log() const {
    qint64 antes = -1;
    for (qint64 agora = QFileInfo(m_logPath).size(); agora != antes; agora = QFileInfo(m_logPath).size()) {
        antes = agora;
        QThread::msleep(200);
    }
    QFile file(m_logPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
