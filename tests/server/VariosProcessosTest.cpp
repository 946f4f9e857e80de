// Several service processes on one database (PostgreSQL, and a SQLite file where the case
// applies), the database server going away under a running service, and the move of a SQLite
// file into PostgreSQL.
#include "tests/server/ClienteBruto.h"
#include "tests/support/BancoPostgresTeste.h"
#include "tests/support/TestServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr int TamanhoPagina = 500;

// One database shared by the processes a test starts on it.
class BancoCompartilhado {
public:
    explicit BancoCompartilhado(bool postgres) {
        if (postgres)
            m_postgres = std::make_unique<BancoPostgresTeste>();
        m_db = m_postgres ? m_postgres->uri() : m_dir.filePath(QStringLiteral("servico.db"));
    }
    QString db() const { return m_db; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<BancoPostgresTeste> m_postgres;
    QString m_db;
};

std::unique_ptr<TestServer> Processo(const QString &db,
                                     const QStringList &usuarios = {QStringLiteral("DEV:senha")},
                                     const QStringList &opcoes = {}) {
    return std::make_unique<TestServer>(usuarios,
                                        QStringList{QStringLiteral("--db"), db, QStringLiteral("--page-size"),
                                                    QString::number(TamanhoPagina)} +
                                            opcoes);
}

QByteArray Script(int autor, int i) {
    return "UPDATE T SET C = " + QByteArray::number(i) + " WHERE AUTOR = " + QByteArray::number(autor) + ";";
}

// The reply's envelope of an /inserir of `script`.
QJsonObject Inserir(int porta, const QByteArray &chave, const QByteArray &script) {
    return EnvelopeDe(
        ClienteBruto::trocar(porta, PedidoPost("/inserir", CorpoFormulario({{"chave", chave},
                                                                            {"data", "2024-01-01 00:00:00"},
                                                                            {"nome", "s.sql"},
                                                                            {"sistema", "TALAO"},
                                                                            {"script", script.toHex()}}))));
}

// The code the service gave the script, 0 when it did not acknowledge it.
qint64 CodigoInserido(int porta, const QByteArray &chave, const QByteArray &script) {
    const QJsonObject r = Inserir(porta, chave, script);
    return r.value("success").toBool() ? r.value("codigo").toInteger() : 0;
}

// Every stored script by its code, read page by page; empty on a refusal.
QMap<qint64, QString> Scripts(int porta, const QByteArray &chave) {
    QMap<qint64, QString> scripts;
    for (int lidos = 0;; lidos += TamanhoPagina) {
        const QByteArray resposta = ClienteBruto::trocar(
            porta, PedidoPost("/pesquisar", CorpoFormulario({{"maximo", "1000000"},
                                                             {"lidos", QByteArray::number(lidos)},
                                                             {"chave", chave}})));
        const QJsonDocument pagina = QJsonDocument::fromJson(resposta.mid(resposta.indexOf("\r\n\r\n") + 4));
        if (!pagina.isArray())
            return {};
        for (const QJsonValue &linha : pagina.array())
            scripts.insert(linha["CODIGO_SC"].toInteger(), linha["SCRIPT_SC"].toString());
        if (pagina.array().size() < TamanhoPagina)
            return scripts;
    }
}

QSet<qint64> Codigos(int porta, const QByteArray &chave) {
    const QList<qint64> codigos = Scripts(porta, chave).keys();
    return {codigos.begin(), codigos.end()};
}

// Two processes, a and b, on one database, and a session key from a.
class VariosProcessos : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        a = Processo(banco.db());
        b = Processo(banco.db());
        chave = Entrar(a->port(), "DEV", "senha");
        ASSERT_FALSE(chave.isEmpty());
    }

    BancoCompartilhado banco{GetParam()};
    std::unique_ptr<TestServer> a, b;
    QByteArray chave;
};

TEST_P(VariosProcessos, ASessionKeyFromOneProcessWorksOnTheOther) {
    const qint64 codigo = CodigoInserido(b->port(), chave, Script(1, 1));
    EXPECT_GT(codigo, 0);
    EXPECT_EQ(Codigos(a->port(), chave), QSet<qint64>{codigo});
    // A key neither process handed out stays refused on both.
    for (const auto *processo : {a.get(), b.get()})
        EXPECT_EQ(Contar(processo->port(), "0123456789abcdef", "/pesquisar"), -1);
}

TEST_P(VariosProcessos, ParallelUploadsThroughTwoProcessesLoseNothingAndNeverRepeatACode) {
    constexpr int PorEnvio = 25;

    std::mutex guarda;
    QList<qint64> codigos;
    QStringList falhas;
    std::vector<std::thread> envios;
    for (int autor = 0; autor < 4; ++autor)
        envios.emplace_back([&, autor] {
            const int porta = (autor % 2 ? a : b)->port();
            for (int i = 0; i < PorEnvio; ++i) {
                const QJsonObject r = Inserir(porta, chave, Script(autor, i));
                const std::lock_guard trava(guarda);
                if (r.value("success").toBool())
                    codigos << r.value("codigo").toInteger();
                else
                    falhas << QString::fromUtf8(QJsonDocument(r).toJson(QJsonDocument::Compact));
            }
        });
    for (std::thread &envio : envios)
        envio.join();

    EXPECT_TRUE(falhas.isEmpty()) << falhas.join('\n').toStdString();
    const QSet<qint64> distintos(codigos.begin(), codigos.end());
    EXPECT_EQ(distintos.size(), codigos.size()) << "a code was given twice";
    EXPECT_EQ(Codigos(b->port(), chave), distintos);
    EXPECT_EQ(Contar(a->port(), chave, "/pesquisar_log"), 4 * PorEnvio);
}

TEST_P(VariosProcessos, EveryScriptAcknowledgedBeforeOneProcessIsKilledIsStored) {

    // One uploader streams to A until A is gone, another to B all along.
    std::atomic<int> confirmadosEmA = 0;
    QList<qint64> emA, emB;
    std::thread paraA([&] {
        for (int i = 0; i < 2000; ++i) {
            const qint64 codigo = CodigoInserido(a->port(), chave, Script(1, i));
            if (codigo == 0)
                return;
            emA << codigo;
            ++confirmadosEmA;
        }
    });
    std::thread paraB([&] {
        for (int i = 0; i < 40; ++i)
            emB << CodigoInserido(b->port(), chave, Script(2, i));
    });
    for (QDeadlineTimer prazo(20000); confirmadosEmA < 20 && !prazo.hasExpired();)
        QThread::msleep(5);
    a->kill();
    paraA.join();
    paraB.join();

    ASSERT_GE(emA.size(), 20);
    EXPECT_LT(emA.size(), 2000) << "the uploader to the killed process never failed";
    EXPECT_FALSE(emB.contains(0)) << "the surviving process refused an upload";
    const QSet<qint64> guardados = Codigos(b->port(), chave);
    for (const qint64 codigo : emA + emB)
        EXPECT_TRUE(guardados.contains(codigo)) << "acknowledged script " << codigo << " was lost";
    // At most the one request in flight at the kill was stored without its answer.
    EXPECT_LE(guardados.size(), emA.size() + emB.size() + 1);
}

TEST_P(VariosProcessos, ARestartKeepsTheDataAndTheCodesGoOn) {
    for (int i = 0; i < 3; ++i)
        ASSERT_GT(CodigoInserido(b->port(), chave, Script(1, i)), 0);
    const QMap<qint64, QString> antes = Scripts(a->port(), chave);
    const int logAntes = Contar(a->port(), chave, "/pesquisar_log");
    a.reset();
    b.reset();
    // Started again without its users: the user, its password and the scripts come from the database.
    a = Processo(banco.db(), {});
    chave = Entrar(a->port(), "DEV", "senha");
    ASSERT_FALSE(chave.isEmpty());
    EXPECT_EQ(Scripts(a->port(), chave), antes);
    EXPECT_EQ(Contar(a->port(), chave, "/pesquisar_log"), logAntes);
    EXPECT_GT(CodigoInserido(a->port(), chave, Script(1, 99)), antes.lastKey());
}

INSTANTIATE_TEST_SUITE_P(Bancos, VariosProcessos, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool> &info) {
                             return info.param ? "PostgreSQL" : "SQLiteFile";
                         });

// A private cluster of tools/postgres-test-server.sh, so stopping it disturbs no other test.
class ClusterPrivado {
public:
    ClusterPrivado() {
        // Run as root, the script hands the folder to the postgres user, who must get through ours.
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther);
        m_ambiente.insert(QStringLiteral("BRISEL_PG_STATE_DIR"), m_dir.filePath(QStringLiteral("pg")));
        m_uri = QString::fromUtf8(rodar(QStringLiteral("start"))).trimmed();
    }
    ~ClusterPrivado() { rodar(QStringLiteral("stop")); }
    QString uri() const { return m_uri; }
    // Stops the server and keeps its data; start() brings it back on the same port.
    void pausar() { rodar(QStringLiteral("pause")); }
    void iniciar() { rodar(QStringLiteral("start")); }
    // The running server's first process, 0 when there is none.
    pid_t postmaster() const {
        QFile pid(m_dir.filePath(QStringLiteral("pg/data/postmaster.pid")));
        return pid.open(QIODevice::ReadOnly) ? pid_t(pid.readLine().trimmed().toInt()) : 0;
    }

private:
    QByteArray rodar(const QString &comando) {
        QProcess p;
        p.setProcessEnvironment(m_ambiente);
        p.start(QStringLiteral(BRISEL_POSTGRES_TEST_SERVER), {comando});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            ADD_FAILURE() << "postgres-test-server.sh " << comando.toStdString() << ": "
                          << p.readAllStandardError().toStdString();
        return p.readAllStandardOutput();
    }

    QTemporaryDir m_dir;
    QProcessEnvironment m_ambiente = QProcessEnvironment::systemEnvironment();
    QString m_uri;
};

// Every process of a server frozen (SIGSTOP) while this lives, and let go on when it ends, however
// the test went: a server that no longer answers while its kernel still takes connections and bytes.
class ServidorCongelado {
public:
    explicit ServidorCongelado(pid_t postmaster) {
        // The postmaster first, so that it starts no process meanwhile.
        if (postmaster <= 0 || !congelar(postmaster))
            return;
        const QStringList entradas = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString &entrada : entradas)
            if (const pid_t pid = pid_t(entrada.toInt()); pid > 0 && estado(pid).pai == postmaster)
                congelar(pid);
        for (QDeadlineTimer prazo(5000); !prazo.hasExpired() && !todosParados(); QThread::msleep(10)) {
        }
    }
    ~ServidorCongelado() {
        for (const pid_t pid : m_pids)
            ::kill(pid, SIGCONT);
    }
    ServidorCongelado(const ServidorCongelado &) = delete;
    ServidorCongelado &operator=(const ServidorCongelado &) = delete;

    // How many processes stopped: the postmaster and at least the service's sessions.
    qsizetype parados() const { return todosParados() ? m_pids.size() : 0; }

private:
    struct Estado {
        char letra = 0;
        pid_t pai = 0;
    };
    // From /proc/PID/stat: "PID (NAME) STATE PPID ...", where NAME may hold spaces and parentheses.
    static Estado estado(pid_t pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return {};
        const QByteArray linha = stat.readAll();
        const QList<QByteArray> campos = linha.mid(linha.lastIndexOf(')') + 2).split(' ');
        return campos.size() < 2 ? Estado{} : Estado{campos[0].at(0), pid_t(campos[1].toInt())};
    }
    bool congelar(pid_t pid) {
        if (::kill(pid, SIGSTOP) != 0)
            return false;
        m_pids << pid;
        return true;
    }
    bool todosParados() const {
        for (const pid_t pid : m_pids)
            if (estado(pid).letra != 'T')
                return false;
        return !m_pids.isEmpty();
    }

    QList<pid_t> m_pids;
};

// A frozen server costs each request about the limit, whether it finds a connection in the pool
// (the statement goes unanswered) or must open one (the attempt does), and holds up no thread
// for good: once the server goes on, so does the same process.
TEST(BancoDoServico, APostgresServerThatStopsAnsweringFailsRequestsByTheLimitAndThenTheyWorkAgain) {
    ClusterPrivado cluster;
    ASSERT_FALSE(cluster.uri().isEmpty());
    const auto servico = Processo(cluster.uri(), {QStringLiteral("DEV:senha")},
                                  {QStringLiteral("--db-timeout"), QStringLiteral("2")});
    const int porta = servico->port();
    const QByteArray chave = Entrar(porta, "DEV", "senha");
    ASSERT_GT(CodigoInserido(porta, chave, Script(1, 1)), 0);

    {
        const ServidorCongelado congelado(cluster.postmaster());
        ASSERT_GT(congelado.parados(), 1);
        for (const char *caso : {"connection from the pool", "new connection"}) {
            SCOPED_TRACE(caso);
            ClienteBruto cliente(porta);
            ASSERT_TRUE(
                cliente.enviar(PedidoPost("/inserir", CorpoFormulario({{"chave", chave},
                                                                       {"data", "2024-01-01 00:00:00"},
                                                                       {"nome", "s.sql"},
                                                                       {"sistema", "TALAO"},
                                                                       {"script", "41"}}))));
            // Well past the limit of 2 s and the second the cancel request is given.
            bool fechou = false;
            const QByteArray resposta = cliente.receberTudo(std::chrono::seconds(15), &fechou);
            EXPECT_TRUE(fechou) << "no answer while the server was frozen";
            EXPECT_TRUE(resposta.startsWith("HTTP/1.1 503")) << resposta.constData();
            EXPECT_EQ(EnvelopeDe(resposta).value("message").toString(),
                      QStringLiteral("O banco de dados do serviço não está disponível."));
        }
    }

    qint64 codigo = 0;
    for (QDeadlineTimer prazo(15000); codigo == 0 && !prazo.hasExpired(); QThread::msleep(100))
        codigo = CodigoInserido(porta, chave, Script(1, 2));
    EXPECT_GT(codigo, 0);
    EXPECT_EQ(Scripts(porta, chave).size(), 2) << "a request that failed stored its script";
}

TEST(BancoDoServico, WhilePostgresIsDownRequestsGetAClearFailureAndThenWorkAgain) {
    ClusterPrivado cluster;
    ASSERT_FALSE(cluster.uri().isEmpty());
    const auto servico = Processo(cluster.uri());
    const int porta = servico->port();
    const QByteArray chave = Entrar(porta, "DEV", "senha");
    ASSERT_GT(CodigoInserido(porta, chave, Script(1, 1)), 0);

    cluster.pausar();
    for (const QJsonObject &r :
         {Inserir(porta, chave, Script(1, 2)),
          EnvelopeDe(ClienteBruto::trocar(
              porta, PedidoPost("/login", CorpoFormulario({{"usuario", "DEV"}, {"senha", "x"}}))))}) {
        EXPECT_FALSE(r.value("success").toBool());
        EXPECT_EQ(r.value("message").toString(),
                  QStringLiteral("O banco de dados do serviço não está disponível."))
            << QJsonDocument(r).toJson().toStdString();
    }

    // The same process, the same key: the service reconnects by itself.
    cluster.iniciar();
    qint64 codigo = 0;
    for (QDeadlineTimer prazo(15000); codigo == 0 && !prazo.hasExpired(); QThread::msleep(100))
        codigo = CodigoInserido(porta, chave, Script(1, 3));
    EXPECT_GT(codigo, 0);
    EXPECT_EQ(Scripts(porta, chave).size(), 2);
}

struct Saida {
    int codigo = -1;
    QString err;
};

Saida Importar(const QString &db, const QString &arquivo) {
    QProcess p;
    p.start(TestServer::executable(), {QStringLiteral("--db"), db, QStringLiteral("--import"), arquivo});
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(BancoDoServico, ImportMovesUsersScriptsCodesAndLogIntoAnEmptyPostgresDatabaseOnly) {
    QTemporaryDir dir;
    const QString arquivo = dir.filePath(QStringLiteral("equipe.db"));
    QMap<qint64, QString> scripts;
    int log = 0;
    {
        const auto sqlite = Processo(arquivo, {QStringLiteral("DEV:senha"), QStringLiteral("ANA:outra")});
        const int porta = sqlite->port();
        const QByteArray chave = Entrar(porta, "DEV", "senha");
        QList<qint64> codigos;
        for (int i = 0; i < 5; ++i)
            codigos << CodigoInserido(porta, chave, Script(1, i));
        // A gap in the codes and a changed script: codes and texts must come over as they are.
        const QByteArray excluir =
            "GET /services/index.php/scripts/excluir?codigo=" + QByteArray::number(codigos[1]) +
            "&chave=" + chave + " HTTP/1.0\r\n\r\n";
        ASSERT_TRUE(EnvelopeDe(ClienteBruto::trocar(porta, excluir)).value("success").toBool());
        const QJsonObject atualizado = EnvelopeDe(ClienteBruto::trocar(
            porta, PedidoPost("/atualizar", CorpoFormulario({{"codigo", QByteArray::number(codigos[2])},
                                                             {"script", QByteArray("NOVO").toHex()},
                                                             {"chave", chave}}))));
        ASSERT_TRUE(atualizado.value("success").toBool());
        scripts = Scripts(porta, chave);
        log = Contar(porta, chave, "/pesquisar_log");
    }
    ASSERT_EQ(scripts.size(), 4);
    ASSERT_EQ(log, 7);

    BancoPostgresTeste postgres;
    const Saida importacao = Importar(postgres.uri(), arquivo);
    ASSERT_EQ(importacao.codigo, 0) << importacao.err.toStdString();

    {
        const auto servico = Processo(postgres.uri(), {});
        const int porta = servico->port();
        EXPECT_FALSE(Entrar(porta, "DEV", "senha").isEmpty());
        const QByteArray chave = Entrar(porta, "ANA", "outra");
        ASSERT_FALSE(chave.isEmpty());
        EXPECT_EQ(Scripts(porta, chave), scripts);
        EXPECT_EQ(Contar(porta, chave, "/pesquisar_log"), log);
        // New codes continue after the imported ones instead of colliding with them.
        EXPECT_GT(CodigoInserido(porta, chave, Script(2, 1)), scripts.lastKey());
    }

    const Saida denovo = Importar(postgres.uri(), arquivo);
    EXPECT_NE(denovo.codigo, 0);
    EXPECT_FALSE(denovo.err.isEmpty());
}

} // namespace
