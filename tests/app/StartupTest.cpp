// Start-up decisions against the reference web service: updater required, version compared,
// updater started with the replaced version, failures recorded in "log.log".
#include "app/Inicializacao.h"
#include "app/TdmPrincipal.h"
#include "tests/support/RecordingHttpServer.h"
#include "tests/support/RecordingMessages.h"
#include "tests/support/TestServer.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <vector>

namespace {

struct Lancamento {
    QString programa;
    QStringList argumentos;
    QString diretorio;
};

void criarArquivo(const QString &path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

void criarAtualizador(const QString &dir) {
    criarArquivo(dir + QStringLiteral("/BriselUpdate.exe"));
}

// HOME, XDG_CONFIG_HOME and XDG_STATE_HOME of a user of the test's own, restored afterwards.
// `xdg`: empty leaves both unset; a relative text is set as it stands; an absolute one is
// taken below `home`.
class AmbienteUsuario {
public:
    AmbienteUsuario(const QString &home, const QString &xdg) {
        guardar("HOME", home);
        const bool absoluto = xdg.startsWith(QLatin1Char('/'));
        guardar("XDG_CONFIG_HOME", xdg.isEmpty() ? QString()
                                   : absoluto    ? home + xdg + QStringLiteral("/config")
                                                 : xdg);
        guardar("XDG_STATE_HOME", xdg.isEmpty() ? QString()
                                  : absoluto    ? home + xdg + QStringLiteral("/state")
                                                : xdg);
    }
    ~AmbienteUsuario() {
        for (const auto &[nome, valor] : m_antes) {
            if (valor)
                qputenv(nome, *valor);
            else
                qunsetenv(nome);
        }
    }

private:
    void guardar(const char *nome, const QString &valor) {
        m_antes.push_back(
            {nome, qEnvironmentVariableIsSet(nome) ? std::optional(qgetenv(nome)) : std::nullopt});
        if (valor.isEmpty())
            qunsetenv(nome);
        else
            qputenv(nome, valor.toUtf8());
    }
    std::vector<std::pair<const char *, std::optional<QByteArray>>> m_antes;
};

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
            LocaisPrograma::deduzir(dir.path()), dm.versao(), messages,
            [&dm] { return dm.VerificarVersao(); },
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
            QCOMPARE(qEnvironmentVariable("BRISEL_VERSAO_NOVA"), versao);
        }
    }

    // Where the program looks for its files: beside the executable, unless the executable is
    // the installed one (in the install prefix's bin folder).
    void programLocations_data() {
        QTest::addColumn<bool>("instalado");
        QTest::addColumn<QString>("configHome"); // XDG_CONFIG_HOME and XDG_STATE_HOME below HOME
        QTest::addColumn<QString>("parametros"); // expected, below HOME
        QTest::addColumn<QString>("log");
        QTest::newRow("build folder: beside the executable") << false << QString() << QString() << QString();
        QTest::newRow("installed, XDG unset: ~/.config, ~/.local/state")
            << true << QString() << QStringLiteral("/.config/BriselScripts")
            << QStringLiteral("/.local/state/BriselScripts");
        QTest::newRow("installed, XDG set")
            << true << QStringLiteral("/xdg") << QStringLiteral("/xdg/config/BriselScripts")
            << QStringLiteral("/xdg/state/BriselScripts");
        QTest::newRow("installed, relative XDG ignored")
            << true << QStringLiteral("relativo") << QStringLiteral("/.config/BriselScripts")
            << QStringLiteral("/.local/state/BriselScripts");
    }
    void programLocations() {
        QFETCH(bool, instalado);
        QFETCH(QString, configHome);
        QFETCH(QString, parametros);
        QFETCH(QString, log);
        QTemporaryDir home, bin, outraPasta;
        AmbienteUsuario ambiente(home.path(), configHome);
        const QString exe = instalado ? bin.path() : outraPasta.path();
        const LocaisPrograma l =
            LocaisPrograma::deduzir(exe, bin.path(), QStringLiteral("/prefixo/lib/BriselUpdate"));
        QCOMPARE(l.instalado, instalado);
        QCOMPARE(l.diretorioExe, exe);
        if (!instalado) {
            QCOMPARE(l.atualizador, exe + QStringLiteral("/BriselUpdate.exe"));
            QCOMPARE(l.diretorioParametros, exe);
            QCOMPARE(l.diretorioLog, exe);
            return;
        }
        QCOMPARE(l.atualizador, QStringLiteral("/prefixo/lib/BriselUpdate"));
        QCOMPARE(l.diretorioParametros, home.path() + parametros);
        QCOMPARE(l.diretorioLog, home.path() + log);
        QVERIFY(!QFileInfo::exists(l.diretorioLog));
        l.criarDiretorios(); // a user's first run
        QVERIFY(QFileInfo(l.diretorioParametros).isDir());
        QVERIFY(QFileInfo(l.diretorioLog).isDir());
    }

    // The installed program, as a user without write access to its folder runs it: the failed
    // check is logged in the user's state folder; a newer version starts the packaged updater.
    void installedProgramStartsThePackagedUpdaterAndLogsInTheUsersFolder() {
        QTemporaryDir home, bin, lib;
        AmbienteUsuario ambiente(home.path(), QString());
        const QString atualizador = lib.filePath(QStringLiteral("BriselUpdate"));
        const LocaisPrograma locais = LocaisPrograma::deduzir(bin.path(), bin.path(), atualizador);
        locais.criarDiretorios();
        RecordingMessages messages;
        QList<Lancamento> lancados;
        const auto lancar = [&lancados](const QString &p, const QStringList &a, const QString &d) {
            lancados.append({p, a, d});
        };
        {
            TdmPrincipal dm(locais);
            Inicializacao ini(
                locais, dm.versao(), messages, [&dm] { return dm.VerificarVersao(); }, lancar);
            QVERIFY(!ini.executar());
            QCOMPARE(messages.boxes.size(), 1);
            QCOMPARE(messages.boxes[0].text, QStringLiteral("Não foi possível encontrar o BriselUpdate"));
        }
        criarArquivo(atualizador);

        qputenv("BRISEL_SERVICE_URL", QStringLiteral("http://127.0.0.1:%1").arg(portaLivre()).toUtf8());
        TdmPrincipal dm(locais);
        Inicializacao naoAlcancado(
            locais, dm.versao(), messages, [&dm] { return dm.VerificarVersao(); }, lancar);
        QVERIFY(naoAlcancado.executar());
        QVERIFY(QFile::exists(home.filePath(QStringLiteral(".local/state/BriselScripts/log.log"))));
        QVERIFY(!QFile::exists(bin.filePath(QStringLiteral("log.log"))));
        QCOMPARE(dm.DiretorioParametros(), home.filePath(QStringLiteral(".config/BriselScripts")));

        TestServer server({QStringLiteral("DEV:senha")},
                          {QStringLiteral("--version"), QStringLiteral("1.0.8")});
        qputenv("BRISEL_SERVICE_URL", server.rootUrl().toUtf8());
        Inicializacao ini(
            locais, dm.versao(), messages, [&dm] { return dm.VerificarVersao(); }, lancar);
        QVERIFY(!ini.executar());
        QCOMPARE(lancados.size(), 1);
        QCOMPARE(lancados[0].programa, atualizador);
        QCOMPARE(lancados[0].argumentos, QStringList{QStringLiteral("1.0.7")});
        QCOMPARE(lancados[0].diretorio, bin.path());
        QCOMPARE(qEnvironmentVariable("BRISEL_VERSAO_NOVA"), QStringLiteral("1.0.8"));
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
            LocaisPrograma::deduzir(dir.path()), dm.versao(), messages,
            [&dm] { return dm.VerificarVersao(); },
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
            LocaisPrograma::deduzir(dir.path()), QStringLiteral("1.0.7"), messages,
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
                LocaisPrograma::deduzir(dir.path()), dm.versao(), messages,
                [&dm] { return dm.VerificarVersao(); },
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
