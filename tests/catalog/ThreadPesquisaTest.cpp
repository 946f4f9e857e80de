#include "catalog/ThreadPesquisa.h"
#include "catalog/MontarParametros.h"
#include "catalog/TabelaLog.h"
#include "catalog/TabelaPesquisa.h"
#include "catalog/ThreadLog.h"
#include "service/Enderecos.h"
#include "service/Protocolo.h"
#include "tests/catalog/RecordingEspera.h"
#include "tests/catalog/ServicoDeTeste.h"
#include "tests/support/RecordingHttpServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocale>

#include <gtest/gtest.h>

#include <optional>

namespace {

QCoreApplication &Aplicacao() {
    static int argc = 1;
    static char nome[] = "ThreadPesquisaTest";
    static char *argv[] = {nome, nullptr};
    static QCoreApplication app(argc, argv);
    // The reference service sends dates in the Brazilian short form.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    return app;
}

bool Aguardar(const std::function<bool()> &condicao, int ms = 15000) {
    QDeadlineTimer prazo(ms);
    while (!condicao() && !prazo.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condicao();
}

QByteArray Registro(int codigo, const char *nome) {
    return QStringLiteral(
               R"({"CODIGO_SC":%1,"DATA_CRIACAO_SC":"2024-01-02 03:04:05","NOME_ARQUIVO_SC":"%2","SCRIPT_SC":"4142"})")
        .arg(codigo)
        .arg(QString::fromLatin1(nome))
        .toUtf8();
}

// A recording server that the client's addresses point at while it lives, so that a failed
// assertion cannot leave the address set for the next test.
struct ServidorApontado {
    explicit ServidorApontado(RecordingHttpServer::Responder resposta, std::chrono::milliseconds atraso = {})
        : servidor(std::move(resposta), atraso) {
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl());
    }
    ~ServidorApontado() { qunsetenv("BRISEL_SERVICE_URL"); }

    RecordingHttpServer servidor;
};

// Every page holds the one record.
QByteArray UmRegistro(const RecordingHttpServer::Request &) {
    return "[" + Registro(1, "a.sql") + "]";
}

class ThreadPesquisaTest : public testing::Test {
protected:
    void SetUp() override { Aplicacao(); }

    CamposRequisicao Campos(int maximo = 100) {
        FiltroTela tela;
        tela.maximo = QString::number(maximo);
        return MontarParametrosPesquisa(tela, QStringLiteral("K"));
    }

    // Runs one fetch of `registros` records and waits for its end-of-run handler.
    std::optional<QString> Buscar(Conexao &conexao, int registros) {
        ThreadPesquisa worker(conexao, tabela, espera);
        espera.IniciarEspera(registros, QStringLiteral("Pesquisando scripts no servidor..."));
        std::optional<QString> falha;
        EXPECT_TRUE(worker.Iniciar(Campos(), [&](const QString &f) { falha = f; }));
        EXPECT_TRUE(Aguardar([&] { return falha.has_value(); }));
        return falha;
    }

    TabelaPesquisa tabela;
    RecordingEspera espera;
};

TEST_F(ThreadPesquisaTest, FetchesEveryPageInArrivalOrderAndAdvancesThePerRecordProgress) {
    ServicoDeTeste servico(2);
    QList<int> codigos;
    for (const char *nome : {"a.sql", "b.sql", "c.sql", "d.sql", "e.sql"})
        codigos << servico.Inserir(QString::fromLatin1(nome), QByteArray("select '") + nome + "';");
    int valorNaUltimaLinha = -1;
    QObject::connect(&tabela, &QAbstractItemModel::rowsInserted, [&] {
        if (tabela.rowCount() == 5)
            valorNaUltimaLinha = espera.Valor();
    });

    ThreadPesquisa worker(servico.conexao, tabela, espera);
    espera.IniciarEspera(5, {});
    std::optional<QString> falha;
    FiltroTela tela;
    tela.maximo = QStringLiteral("100");
    ASSERT_TRUE(worker.Iniciar(MontarParametrosPesquisa(tela, servico.sessao.chave()),
                               [&](const QString &f) { falha = f; }));
    ASSERT_TRUE(Aguardar([&] { return falha.has_value(); }));

    EXPECT_EQ(*falha, QString());
    ASSERT_EQ(tabela.rowCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(tabela.Linha(i).codigo, codigos[i]);
    EXPECT_EQ(tabela.Linha(2).script, QByteArray("select 'c.sql';"));
    EXPECT_EQ(valorNaUltimaLinha, 4) << "the row is appended before its progress step";
    EXPECT_EQ(espera.Valor(), 5);
}

TEST_F(ThreadPesquisaTest, PageFailuresKeepTheRowsReceivedBefore) {
    const struct {
        const char *nome;
        QByteArray segundaPagina;
        int linhas;
    } casos[] = {
        {"not JSON", "<html>erro</html>", 2},
        {"an object instead of an array", R"({"success":false,"message":"x"})", 2},
        // A record that does not read whole is dropped, not kept with missing fields.
        {"a record missing a key",
         "[" + Registro(3, "c.sql") + R"(,{"CODIGO_SC":4,"NOME_ARQUIVO_SC":"d.sql"}])", 3},
        {"a date that does not read", "[" + Registro(3, "c.sql").replace("2024-01-02", "ontem") + "]", 2},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.nome);
        tabela.Esvaziar();
        const ServidorApontado apontado([&](const RecordingHttpServer::Request &pedido) {
            return pedido.body.contains("lidos=0")
                       ? "[" + Registro(1, "a.sql") + "," + Registro(2, "b.sql") + "]"
                       : caso.segundaPagina;
        });
        Conexao conexao;
        const std::optional<QString> falha = Buscar(conexao, 6);
        ASSERT_TRUE(falha.has_value());
        EXPECT_FALSE(falha->isEmpty());
        EXPECT_EQ(tabela.rowCount(), caso.linhas);
        EXPECT_EQ(espera.Valor(), caso.linhas);
    }
}

TEST_F(ThreadPesquisaTest, AnEmptyPageBeforeTheCountEndsTheFetch) {
    const ServidorApontado apontado([](const RecordingHttpServer::Request &pedido) {
        return pedido.body.contains("lidos=0") ? UmRegistro(pedido) : QByteArray("[]");
    });
    Conexao conexao;
    const std::optional<QString> falha = Buscar(conexao, 3);
    ASSERT_TRUE(falha.has_value());
    EXPECT_EQ(*falha, QString());
    EXPECT_EQ(tabela.rowCount(), 1);
    EXPECT_EQ(apontado.servidor.requests().size(), 2);
}

TEST_F(ThreadPesquisaTest, ASecondStartWhileRunningIsIgnored) {
    const ServidorApontado apontado(UmRegistro, std::chrono::milliseconds(200));
    Conexao conexao;
    ThreadPesquisa worker(conexao, tabela, espera);
    espera.IniciarEspera(1, {});
    int fins = 0;
    ASSERT_TRUE(worker.Iniciar(Campos(), [&](const QString &) { ++fins; }));
    EXPECT_FALSE(worker.Iniciar(Campos(), [&](const QString &) { ++fins; }));
    ASSERT_TRUE(Aguardar([&] { return !worker.Executando(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(fins, 1);
    EXPECT_EQ(tabela.rowCount(), 1);
    EXPECT_EQ(apontado.servidor.requests().size(), 1);
}

TEST_F(ThreadPesquisaTest, DestroyingTheWorkerMidRunNeitherHangsNorReportsAnEnd) {
    const ServidorApontado apontado(UmRegistro, std::chrono::milliseconds(100));
    Conexao conexao;
    int fins = 0;
    {
        ThreadPesquisa worker(conexao, tabela, espera);
        espera.IniciarEspera(50, {});
        ASSERT_TRUE(worker.Iniciar(Campos(), [&](const QString &) { ++fins; }));
        // The worker now waits for the interface thread to take its first row.
        ASSERT_TRUE(Aguardar([&] { return apontado.servidor.requests().size() >= 1; }));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(fins, 0);
    EXPECT_LE(tabela.rowCount(), 1);
}

TEST_F(ThreadPesquisaTest, TheLogWorkerFillsItsTableTheSameWay) {
    ServicoDeTeste servico(1);
    const int codigo = servico.Inserir(QStringLiteral("log.sql"), "antes");
    ASSERT_TRUE(Protocolo::Atualizar(servico.sessao, codigo, "depois").success);
    ASSERT_TRUE(Protocolo::Atualizar(servico.sessao, codigo, "").success);

    TabelaLog log;
    ThreadLog worker(servico.conexao, log, espera);
    FiltroTela tela;
    tela.codigo = QString::number(codigo);
    tela.maximo = QStringLiteral("10");
    espera.IniciarEspera(3, {});
    std::optional<QString> falha;
    ASSERT_TRUE(worker.Iniciar(MontarParametrosLog(tela, servico.sessao.chave()),
                               [&](const QString &f) { falha = f; }));
    ASSERT_TRUE(Aguardar([&] { return falha.has_value(); }));
    EXPECT_EQ(*falha, QString());
    ASSERT_EQ(log.rowCount(), 3);
    QSet<QByteArray> pares;
    for (int i = 0; i < 3; ++i)
        pares << log.Linha(i).script_anterior + "->" + log.Linha(i).script_atual;
    EXPECT_EQ(pares, (QSet<QByteArray>{"->antes", "antes->depois", "depois->"}));
    EXPECT_EQ(log.Linha(0).idscript, codigo);
    EXPECT_EQ(espera.Valor(), 3);
}

} // namespace
