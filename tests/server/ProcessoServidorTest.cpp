#include "server/ArmazenamentoSqlite.h"
#include "tests/server/BancoTeste.h"
#include "tests/server/ClienteBruto.h"
#include "tests/support/ExecucaoCli.h"
#include "tests/support/TestServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Saida {
    int codigo = -1;
    QByteArray out, err;
};

Saida rodar(const QStringList &args) {
    QProcess p;
    p.start(TestServer::executable(), args);
    Saida s;
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return s;
    }
    s.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    s.out = p.readAllStandardOutput();
    s.err = p.readAllStandardError();
    return s;
}

// The service over a database file, started and killed by the test.
class ServicoEmArquivo {
public:
    explicit ServicoEmArquivo(const QString &banco) {
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(TestServer::executable(),
                {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"), banco,
                 QStringLiteral("--user"), QStringLiteral("DEV:senha")});
        QByteArray out;
        while (!out.contains('\n') && p.waitForReadyRead(10000))
            out += p.readAllStandardOutput();
        porta = QRegularExpression(QStringLiteral(":(\\d+)\\n"))
                    .match(QString::fromUtf8(out))
                    .captured(1)
                    .toInt();
    }
    ~ServicoEmArquivo() { matar(); }
    void matar() {
        p.kill(); // SIGKILL: no chance to flush or close anything
        p.waitForFinished(5000);
    }

    QProcess p;
    int porta = 0;
};

} // namespace

TEST(ProgramaServidor, HelpAndVersionGoToStandardOutputAndExitZero) {
    const Saida versao = rodar({QStringLiteral("--version")});
    EXPECT_EQ(versao.codigo, 0);
    EXPECT_EQ(versao.out, "brisel-scripts-server " BRISEL_VERSION "\n");
    EXPECT_TRUE(versao.err.isEmpty()) << versao.err.constData();

    const Saida ajuda = rodar({QStringLiteral("--help")});
    EXPECT_EQ(ajuda.codigo, 0);
    EXPECT_TRUE(ajuda.out.startsWith("Usage: brisel-scripts-server [options]\n")) << ajuda.out.constData();
    for (const char *opcao :
         {"--bind", "--port", "--db", "--user", "--demo", "--program-version", "--page-size",
          "--session-hours", "--read-timeout", "--request-timeout", "--max-connections", "--db-connections",
          "--db-timeout", "--import", "--version", "--help"})
        EXPECT_TRUE(ajuda.out.contains(opcao)) << opcao;

    for (const auto &[opcao, valor] : {std::pair{"--session-hours", "0"},
                                       {"--db-connections", "0"},
                                       {"--db-connections", "101"},
                                       {"--db-timeout", "0"},
                                       {"--db-timeout", "3601"},
                                       {"--db-timeout", "x"}}) {
        const Saida errada = rodar({QString::fromLatin1(opcao), QString::fromLatin1(valor)});
        EXPECT_EQ(errada.codigo, 2) << opcao << ' ' << valor;
        EXPECT_TRUE(errada.out.isEmpty());
        EXPECT_TRUE(errada.err.contains(QByteArray("invalid ") + opcao + ": " + valor))
            << errada.err.constData();
    }
}

TEST(ProgramaServidor, TheAnnouncedVersionIsSetByProgramVersionOrByTheOlderVersionWithAValue) {
    for (const QStringList &opcao :
         {QStringList{QStringLiteral("--program-version"), QStringLiteral("2.0.1")},
          QStringList{QStringLiteral("--version"), QStringLiteral("2.0.1")},
          QStringList{QStringLiteral("--version=2.0.1")}}) {
        TestServer servidor({}, opcao);
        const QByteArray versao =
            ClienteBruto::trocar(servidor.port(), "GET /services/index.php/versao/listar HTTP/1.0\r\n\r\n");
        EXPECT_TRUE(versao.endsWith("\r\n\r\n\"2.0.1\"")) << opcao.join(' ').toStdString();
    }
}

TEST(ProgramaServidor, TheDemoOptionFillsTheDatabase) {
    TestServer servidor({QStringLiteral("DEMO:demo")}, {QStringLiteral("--demo")});
    const QByteArray chave = Entrar(servidor.port(), "DEMO", "demo");
    EXPECT_GT(Contar(servidor.port(), chave, "/pesquisar"), 30);
    EXPECT_GT(Contar(servidor.port(), chave, "/pesquisar_log"), 30);
}

TEST(ProgramaServidor, EveryAcknowledgedScriptSurvivesAKill) {
    QTemporaryDir dir;
    const QString banco = dir.filePath(QStringLiteral("servico.db"));
    QList<QByteArray> enviados;
    {
        ServicoEmArquivo servico(banco);
        ASSERT_GT(servico.porta, 0);
        const QByteArray chave = Entrar(servico.porta, "DEV", "senha");
        for (int i = 0; i < 40; ++i) {
            const QByteArray script = "UPDATE T SET C = " + QByteArray::number(i) + ";";
            const QJsonObject r = EnvelopeDe(ClienteBruto::trocar(
                servico.porta, PedidoPost("/inserir", CorpoFormulario({{"chave", chave},
                                                                       {"data", "2024-01-01 00:00:00"},
                                                                       {"nome", "s.sql"},
                                                                       {"sistema", "TALAO"},
                                                                       {"script", script.toHex()}}))));
            if (r.value("success").toBool())
                enviados << script;
        }
        ASSERT_EQ(enviados.size(), 40);
        servico.matar();
    }
    ServicoEmArquivo servico(banco);
    const QByteArray chave = Entrar(servico.porta, "DEV", "senha");
    EXPECT_EQ(Contar(servico.porta, chave, "/pesquisar"), 40);
    EXPECT_EQ(Contar(servico.porta, chave, "/pesquisar_log"), 40);
    const QByteArray ultimo = ClienteBruto::trocar(
        servico.porta,
        PedidoPost("/pesquisar",
                   CorpoFormulario({{"maximo", "1"}, {"lidos", "0"}, {"codigo", "40"}, {"chave", chave}})));
    EXPECT_TRUE(ultimo.contains(enviados.last().toHex().toUpper())) << ultimo.right(200).constData();
}

// Scripts far past the old 64 KB ceiling, up to what fits the 16 MiB form body, go up with the
// command-line client's upload and come back with its search byte for byte.
TEST(ProgramaServidor, LargeScriptsRoundTripThroughTheCommandLineClient) {
    TestServer servidor;
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISEL_SERVICE_URL"), servidor.rootUrl());
    env.insert(QStringLiteral("BRISEL_USER"), QStringLiteral("DEV"));
    env.insert(QStringLiteral("BRISEL_PASSWORD"), QStringLiteral("senha"));
    for (const int megabytes : {1, 7}) {
        const QString nome = QStringLiteral("carga_%1mb").arg(megabytes);
        const QString origem = dir.filePath(nome);
        QDir().mkpath(origem);
        QByteArray script;
        for (int linha = 0; script.size() < megabytes * 1000 * 1000; ++linha)
            script += "INSERT INTO CARGA (ID, TEXTO) VALUES (" + QByteArray::number(linha) + ", 'linha " +
                      QByteArray::number(linha * 7919 % 100003) + "');\r\n";
        QFile arquivo(origem + QStringLiteral("/") + nome + QStringLiteral(".sql"));
        ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
        arquivo.write(script);
        arquivo.close();

        const ExecucaoCli envio =
            executarCli({QStringLiteral("upload"), QStringLiteral("--system"), QStringLiteral("KOR"),
                         QStringLiteral("--dir"), origem, QStringLiteral("--mask"), QStringLiteral("*.sql"),
                         QStringLiteral("--since"), QStringLiteral("2000-01-01")},
                        env);
        ASSERT_EQ(envio.codigo, 0) << envio.err.toStdString();
        const QString destino = dir.filePath(nome + QStringLiteral("_salvo"));
        const ExecucaoCli busca = executarCli(
            {QStringLiteral("search"), QStringLiteral("--file"), nome, QStringLiteral("--save"), destino},
            env);
        ASSERT_EQ(busca.codigo, 0) << busca.err.toStdString();
        const QStringList salvos = QDir(destino).entryList(QDir::Files);
        ASSERT_EQ(salvos.size(), 1) << megabytes;
        QFile salvo(QDir(destino).filePath(salvos.first()));
        ASSERT_TRUE(salvo.open(QIODevice::ReadOnly));
        const QByteArray lido = salvo.readAll();
        EXPECT_EQ(lido.size(), script.size()) << megabytes;
        EXPECT_TRUE(lido == script) << megabytes << " MB script differs";
    }
}

TEST(ProgramaServidor, ANewerSchemaStopsTheStartWithAMessage) {
    const BancoTeste banco(Motor::Sqlite);
    ArmazenamentoSqlite(banco.db()).definirUsuario(QStringLiteral("DEV"), QStringLiteral("x"));
    banco.conexao()->executar(QStringLiteral("UPDATE versao_esquema SET versao = 7"));
    const Saida s =
        rodar({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"), banco.db()});
    EXPECT_EQ(s.codigo, 1);
    EXPECT_TRUE(QString::fromUtf8(s.err).contains(QStringLiteral("versão 7"))) << s.err.constData();
}

TEST(ProgramaServidor, ImportCopiesIntoAnEmptyPostgresDatabaseOnceAndSaysWhat) {
    const BancoTeste origem(Motor::Sqlite);
    {
        ArmazenamentoSqlite a(origem.db());
        a.definirUsuario(QStringLiteral("DEV"), QStringLiteral("x"));
        a.inserir(QDateTime::currentDateTime(), QStringLiteral("a.sql"), QStringLiteral("KOR"),
                  QStringLiteral("41"), QStringLiteral("DEV"));
    }
    const BancoTeste destino(Motor::Postgres);
    const QStringList importar{QStringLiteral("--db"), destino.db(), QStringLiteral("--import"), origem.db()};
    const Saida primeira = rodar(importar);
    EXPECT_EQ(primeira.codigo, 0) << primeira.err.constData();
    EXPECT_EQ(primeira.out, "brisel-scripts-server: imported 1 users, 1 scripts and 1 log entries from " +
                                origem.db().toUtf8() + "\n");
    const Saida segunda = rodar(importar);
    EXPECT_EQ(segunda.codigo, 1);
    EXPECT_TRUE(QString::fromUtf8(segunda.err).contains(QStringLiteral("nada foi copiado")))
        << segunda.err.constData();
    EXPECT_EQ(destino.conexao()->valor(QStringLiteral("SELECT count(*) FROM scripts")), QStringLiteral("1"));

    struct Recusa {
        QStringList argumentos;
        const char *mensagem;
    };
    for (const Recusa &r :
         {Recusa{{QStringLiteral("--db"), origem.db() + QStringLiteral(".novo"), QStringLiteral("--import"),
                  origem.db()},
                 "--import needs a PostgreSQL --db"},
          Recusa{importar + QStringList{QStringLiteral("--demo")}, "--import takes neither"}}) {
        const Saida s = rodar(r.argumentos);
        EXPECT_EQ(s.codigo, 2);
        EXPECT_TRUE(s.err.contains(r.mensagem)) << s.err.constData();
    }
    EXPECT_FALSE(QFile::exists(origem.db() + QStringLiteral(".novo")));
}
