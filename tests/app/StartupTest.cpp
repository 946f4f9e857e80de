// Start-up decisions against the reference web service: updater required, version compared,
// updater started with the replaced version, failures recorded in "log.log".
#include "app/Inicializacao.h"
#include "app/TdmPrincipal.h"
#include "tests/support/RecordingHttpServer.h"
#include "tests/support/RecordingMessages.h"
#include "tests/support/TestServer.h"

#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Lancamento {
    QString programa;
    QStringList argumentos;
    QString diretorio;
};

void criarAtualizador(const QString &dir) {
    QFile f(dir + QStringLiteral("/BriselUpdate.exe"));
    QVERIFY(f.open(QIODevice::WriteOnly));
}

// A loopback port on which nothing listens.
int portaLivre() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void versionDecision_data() {
        QTest::addColumn<QString>("versao");
        QTest::addColumn<bool>("atualiza");
        QTest::addColumn<bool>("falha");
        QTest::newRow("newer 1.0.8") << QStringLiteral("1.0.8") << true << false;
        QTest::newRow("same 1.0.7") << QStringLiteral("1.0.7") << false << false;
        QTest::newRow("1.1, third part not needed") << QStringLiteral("1.1") << true << false;
        QTest::newRow("1.0, third part missing") << QStringLiteral("1.0") << false << true;
        QTest::newRow("older 0.9.9") << QStringLiteral("0.9.9") << false << false;
        QTest::newRow("1.0.10 is numeric") << QStringLiteral("1.0.10") << true << false;
        QTest::newRow("empty version, two characters") << QString() << false << false;
    }
    void versionDecision() {
        QFETCH(QString, versao);
        QFETCH(bool, atualiza);
        QFETCH(bool, falha);
        TestServer server({QStringLiteral("DEV:senha")}, {QStringLiteral("--version"), versao});
        qputenv("BRISEL_SERVICE_URL", server.rootUrl().toUtf8());
        QTemporaryDir dir;
        criarAtualizador(dir.path());
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        QList<Lancamento> lancados;
        Inicializacao ini(
            dir.path(), dm.versao(), messages, [&dm] { return dm.VerificarVersao(); },
            [&lancados](const QString &p, const QStringList &a, const QString &d) {
                lancados.append({p, a, d});
            });
        if (falha) {
            QVERIFY_THROWS_EXCEPTION(std::exception, ini.executar());
            QVERIFY(lancados.isEmpty());
            return;
        }
        QCOMPARE(ini.executar(), !atualiza);
        QCOMPARE(ini.versaoServico(), versao);
        QVERIFY(messages.boxes.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("log.log"))));
        QCOMPARE(lancados.size(), atualiza ? 1 : 0);
        if (atualiza) {
            QCOMPARE(lancados[0].programa, dir.filePath(QStringLiteral("BriselUpdate.exe")));
            QCOMPARE(lancados[0].argumentos, QStringList{QStringLiteral("1.0.7")});
            QCOMPARE(lancados[0].diretorio, dir.path());
        }
    }

    void emptyReplyOpensTheMainWindow() {
        RecordingHttpServer server([](const RecordingHttpServer::Request &) { return QByteArray(); });
        qputenv("BRISEL_SERVICE_URL", server.rootUrl());
        QTemporaryDir dir;
        criarAtualizador(dir.path());
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        bool lancou = false;
        Inicializacao ini(
            dir.path(), dm.versao(), messages, [&dm] { return dm.VerificarVersao(); },
            [&lancou](const QString &, const QStringList &, const QString &) { lancou = true; });
        QVERIFY(ini.executar());
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(!lancou);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("log.log"))));
    }

    void missingUpdaterWarnsAndEnds() {
        QTemporaryDir dir;
        RecordingMessages messages;
        bool perguntou = false;
        Inicializacao ini(
            dir.path(), QStringLiteral("1.0.7"), messages,
            [&perguntou] {
                perguntou = true;
                return QStringLiteral("\"1.0.7\"");
            },
            [](const QString &, const QStringList &, const QString &) {});
        QVERIFY(!ini.executar());
        QVERIFY(!perguntou);
        QCOMPARE(messages.boxes.size(), 1);
        QCOMPARE(messages.boxes[0].kind, RecordingMessages::Warning);
        QCOMPARE(messages.boxes[0].text, QStringLiteral("Não foi possível encontrar o BriselUpdate.exe"));
    }

    void unreachableServiceIsLoggedAndStartUpGoesOn() {
        qputenv("BRISEL_SERVICE_URL", QStringLiteral("http://127.0.0.1:%1").arg(portaLivre()).toUtf8());
        QTemporaryDir dir;
        criarAtualizador(dir.path());
        const QString logPath = dir.filePath(QStringLiteral("log.log"));
        TdmPrincipal dm(dir.path());
        RecordingMessages messages;
        static const QRegularExpression linha(
            QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\\t.+$"));
        for (int vez = 1; vez <= 2; ++vez) {
            Inicializacao ini(
                dir.path(), dm.versao(), messages, [&dm] { return dm.VerificarVersao(); },
                [](const QString &, const QStringList &, const QString &) { QFAIL("launched"); });
            QVERIFY(ini.executar());
            QCOMPARE(ini.versaoServico(), QStringLiteral("1.0.7"));
            QFile log(logPath);
            QVERIFY(log.open(QIODevice::ReadOnly));
            const QString text = QString::fromLatin1(log.readAll());
            QVERIFY(text.endsWith(QStringLiteral("\r\n")));
            const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
            QCOMPARE(lines.size(), 2 * vez);
            for (int i = 0; i < lines.size(); i += 2) {
                QCOMPARE(lines[i], QString());
                QVERIFY2(linha.match(lines[i + 1]).hasMatch(), qPrintable(lines[i + 1]));
            }
        }
        QVERIFY(messages.boxes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "StartupTest.moc"
