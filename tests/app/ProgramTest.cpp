// The built BriselScripts program itself, started as a user would start it.
#include "tests/support/TestServer.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QString programa() {
    return qEnvironmentVariable("BRISEL_BUILD_DIR") + QStringLiteral("/app/BriselScripts");
}

// A copy of the program in its own folder, optionally with a stand-in updater that writes
// its command line to "updater-args.txt".
void instalar(const QString &dir, bool comAtualizador) {
    QVERIFY(QFile::copy(programa(), dir + QStringLiteral("/BriselScripts")));
    if (!comAtualizador)
        return;
    const QString updater = dir + QStringLiteral("/BriselUpdate.exe");
    QFile f(updater);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/updater-args.txt\"\n");
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner));
}

// The program gets its own temporary folder, where one copy per user is checked: a copy that
// the user has open never meets the tests' copies, and the tests' copies meet each other only
// when they share `tmp`.
void iniciar(QProcess &p, const QString &dir, const QString &servico, const QString &tmp) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISEL_SERVICE_URL"), servico);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TMPDIR"), tmp);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir);
    p.start(dir + QStringLiteral("/BriselScripts"), {});
    QVERIFY(p.waitForStarted());
}

QString servicoAusente() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
}

QString nomeInstancia(const QString &tmp) {
    return tmp + QStringLiteral("/BriselScripts-%1").arg(getuid());
}

} // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void newerVersionStartsTheUpdaterAndEnds() {
        TestServer server({QStringLiteral("DEV:senha")},
                          {QStringLiteral("--version"), QStringLiteral("1.0.8")});
        QTemporaryDir dir, tmp;
        instalar(dir.path(), true);
        QProcess p;
        iniciar(p, dir.path(), server.rootUrl(), tmp.path());
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(QStringLiteral("updater-args.txt"))), 10000);
        QFile args(dir.filePath(QStringLiteral("updater-args.txt")));
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(args.readAll().trimmed(), QByteArray("1.0.7"));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("parametros.ini"))));
    }

    void versionThatCannotBeComparedEndsSilently() {
        TestServer server({QStringLiteral("DEV:senha")},
                          {QStringLiteral("--version"), QStringLiteral("1.0")});
        QTemporaryDir dir, tmp;
        instalar(dir.path(), true);
        QProcess p;
        iniciar(p, dir.path(), server.rootUrl(), tmp.path());
        QVERIFY(p.waitForFinished(30000));
        QVERIFY(p.exitCode() != 0);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("updater-args.txt"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("log.log"))));
    }

    void secondCopyEndsAtOnce() {
        QTemporaryDir tmp; // both copies' temporary folder
        QTemporaryDir dirA;
        instalar(dirA.path(), true);
        QProcess a;
        iniciar(a, dirA.path(), servicoAusente(), tmp.path());
        // The first copy gets past the version check (recording its failure) and opens its
        // main window, which listens for later copies.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dirA.filePath(QStringLiteral("log.log"))), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(
            [&tmp] {
                QLocalSocket s;
                s.connectToServer(nomeInstancia(tmp.path()));
                return s.waitForConnected(200);
            }(),
            30000);

        // Without an updater beside it, the second copy would stop on a warning box if it
        // did not notice the first.
        QTemporaryDir dirB;
        instalar(dirB.path(), false);
        QProcess b;
        iniciar(b, dirB.path(), servicoAusente(), tmp.path());
        const bool ended = b.waitForFinished(15000);
        if (!ended)
            b.kill();
        QVERIFY(ended);
        QCOMPARE(b.exitCode(), 0);
        QCOMPARE(a.state(), QProcess::Running);
        a.kill();
        a.waitForFinished();
    }

    // The Linux updater of the installed program: it names the version on offer and the
    // package manager, and ends on its own (no box without a screen).
    void linuxUpdaterNamesTheVersionAndEnds() {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("BRISEL_VERSAO_NOVA"), QStringLiteral("1.0.8"));
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("BRISEL_BUILD_DIR") + QStringLiteral("/app/BriselUpdate"),
                {QStringLiteral("1.0.7")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QString saida = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(saida.contains(QStringLiteral("A versão 1.0.8 do Brisel Scripts está disponível.")),
                 qPrintable(saida));
        QVERIFY2(saida.contains(QStringLiteral("A versão instalada é a 1.0.7.")), qPrintable(saida));
        QVERIFY2(saida.contains(QStringLiteral("gerenciador de pacotes")), qPrintable(saida));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "ProgramTest.moc"
