#include "tests/validation/ChaveiroDeTeste.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

ChaveiroDeTeste::ChaveiroDeTeste() {
    if (!m_pasta.isValid()) {
        m_erro = QStringLiteral("no temporary folder");
        return;
    }
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    const QString casa = m_pasta.filePath(QStringLiteral("casa"));
    const QString execucao = m_pasta.filePath(QStringLiteral("execucao"));
    QDir().mkpath(casa);
    QDir().mkpath(execucao);
    QFile::setPermissions(execucao, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A service the bus starts on demand stays in these folders too.
    ambiente.insert(QStringLiteral("HOME"), casa);
    ambiente.insert(QStringLiteral("XDG_DATA_HOME"), casa + QStringLiteral("/dados"));
    ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), casa + QStringLiteral("/config"));
    ambiente.insert(QStringLiteral("XDG_RUNTIME_DIR"), execucao);
    ambiente.remove(QStringLiteral("DISPLAY"));

    // A test that dies without its destructor takes both daemons with it.
    for (QProcess *processo : {&m_barramento, &m_chaveiro})
        processo->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_barramento.setProcessEnvironment(ambiente);
    m_barramento.start(
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
         QStringLiteral("--address=unix:path=") + m_pasta.filePath(QStringLiteral("barramento"))});
    if (!m_barramento.waitForStarted(10000) || !m_barramento.waitForReadyRead(10000)) {
        m_erro = QStringLiteral("dbus-daemon did not start: ") + m_barramento.errorString();
        return;
    }
    const QString endereco = QString::fromUtf8(m_barramento.readLine()).trimmed();
    ambiente.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), endereco);

    m_chaveiro.setProcessEnvironment(ambiente);
    m_chaveiro.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_chaveiro.start(
        QStringLiteral("gnome-keyring-daemon"),
        {QStringLiteral("--foreground"), QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
    if (!m_chaveiro.waitForStarted(10000)) {
        m_erro = QStringLiteral("gnome-keyring-daemon did not start: ") + m_chaveiro.errorString();
        return;
    }
    // The new login keyring's password, read up to the end of the input.
    m_chaveiro.write("senha-do-chaveiro");
    m_chaveiro.waitForBytesWritten(5000);
    m_chaveiro.closeWriteChannel();
    const QDeadlineTimer prazo(20000);
    while (!pronto(endereco)) {
        if (prazo.hasExpired() || m_chaveiro.state() != QProcess::Running) {
            m_erro = QStringLiteral("gnome-keyring-daemon did not answer on the private bus");
            return;
        }
        QThread::msleep(50);
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", endereco.toUtf8());
}

ChaveiroDeTeste::~ChaveiroDeTeste() {
    for (QProcess *processo : {&m_chaveiro, &m_barramento}) {
        if (processo->state() == QProcess::NotRunning)
            continue;
        processo->terminate();
        if (!processo->waitForFinished(5000)) {
            processo->kill();
            processo->waitForFinished(5000);
        }
    }
}

bool ChaveiroDeTeste::pronto(const QString &endereco) const {
    const QString nome = QStringLiteral("chaveiro-de-teste");
    bool resposta = false;
    {
        QDBusConnection conexao = QDBusConnection::connectToBus(endereco, nome);
        QDBusMessage pergunta = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.secrets"), QStringLiteral("/org/freedesktop/secrets"),
            QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("ReadAlias"));
        pergunta << QStringLiteral("default");
        // Not started by the bus: the daemon of this object is the one wanted.
        pergunta.setAutoStartService(false);
        const QDBusReply<QDBusObjectPath> colecao = conexao.call(pergunta, QDBus::Block, 2000);
        resposta = colecao.isValid() && colecao.value().path() != QLatin1String("/");
    }
    QDBusConnection::disconnectFromBus(nome);
    return resposta;
}
