#include "catalog/ThreadPesquisa.h"
#include "catalog/MontarParametros.h"
#include "catalog/RelatarContagem.h"
#include "catalog/TabelaLog.h"
#include "catalog/TabelaPesquisa.h"
#include "catalog/ThreadLog.h"
#include "service/Enderecos.h"
#include "service/ErroCancelado.h"
#include "service/Protocolo.h"
#include "tests/catalog/RecordingEspera.h"
#include "tests/catalog/ServicoDeTeste.h"
#include "tests/catalog/ServicoMudo.h"
#include "tests/catalog/ServidorApontado.h"
#include "tests/support/RecordingMessages.h"

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

QByteArray Contagem(int registros) {
    return R"({"success":true,"registros":)" + QByteArray::number(registros) + "}";
}

// Counts `registros`; every page holds the one record.
RecordingHttpServer::Responder UmPorPagina(int registros) {
    return [registros](const RecordingHttpServer::Request &pedido) {
        return pedido.body.contains("contar=true") ? Contagem(registros) : "[" + Registro(1, "a.sql") + "]";
    };
}

using Resultado = ThreadPesquisa::Resultado;

bool Cancelado(const Resultado &resultado) {
    try {
        if (resultado.erro)
            std::rethrow_exception(resultado.erro);
    } catch (const ErroCancelado &) {
        return true;
    } catch (...) {
    }
    return false;
}

class ThreadPesquisaTest : public testing::Test {
protected:
    void SetUp() override { Aplicacao(); }

    CamposRequisicao Campos(int maximo = 100) {
        FiltroTela tela;
        tela.maximo = QString::number(maximo);
        return MontarParametrosPesquisa(tela, QStringLiteral("K"));
    }

    // Starts a search that enters busy mode as the page does, for at most `teto` records.
    bool Iniciar(ThreadPesquisa &worker, std::optional<Resultado> &fim, int teto = 100,
                 const CamposRequisicao &campos = {}) {
        return worker.Iniciar(
            URLBase() + QStringLiteral("/pesquisar"), campos.isEmpty() ? Campos() : campos,
            [this, teto](int registros) {
                espera.IniciarEspera(qMin(registros, teto),
                                     QStringLiteral("Pesquisando scripts no servidor..."));
            },
            [&fim](const Resultado &r) { fim = r; });
    }
    // Runs one search and waits for its end-of-run handler.
    Resultado Buscar(Conexao &conexao, int teto = 100) {
        ThreadPesquisa worker(conexao, tabela, espera);
        std::optional<Resultado> fim;
        EXPECT_TRUE(Iniciar(worker, fim, teto));
        EXPECT_TRUE(Aguardar([&] { return fim.has_value(); }));
        return fim.value_or(Resultado{});
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
    std::optional<Resultado> fim;
    FiltroTela tela;
    tela.maximo = QStringLiteral("100");
    ASSERT_TRUE(Iniciar(worker, fim, 100, MontarParametrosPesquisa(tela, servico.sessao.chave())));
    ASSERT_TRUE(Aguardar([&] { return fim.has_value(); }));

    EXPECT_FALSE(fim->erro);
    EXPECT_TRUE(fim->contou && fim->buscou);
    EXPECT_EQ(fim->contagem.registros, 5);
    EXPECT_EQ(espera.eventos, QStringList{QStringLiteral("Iniciar 5 Pesquisando scripts no servidor...")});
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
            if (pedido.body.contains("contar=true"))
                return Contagem(6);
            return pedido.body.contains("lidos=0")
                       ? "[" + Registro(1, "a.sql") + "," + Registro(2, "b.sql") + "]"
                       : caso.segundaPagina;
        });
        Conexao conexao;
        const Resultado fim = Buscar(conexao);
        EXPECT_TRUE(fim.erro);
        EXPECT_TRUE(fim.buscou);
        EXPECT_FALSE(ThreadBusca::Mensagem(fim.erro).isEmpty());
        EXPECT_EQ(tabela.rowCount(), caso.linhas);
        EXPECT_EQ(espera.Valor(), caso.linhas);
    }
}

TEST_F(ThreadPesquisaTest, AnEmptyPageBeforeTheCountEndsTheFetch) {
    const ServidorApontado apontado([](const RecordingHttpServer::Request &pedido) {
        return pedido.body.contains("lidos=0") || pedido.body.contains("contar=true") ? UmPorPagina(3)(pedido)
                                                                                      : QByteArray("[]");
    });
    Conexao conexao;
    const Resultado fim = Buscar(conexao);
    EXPECT_FALSE(fim.erro);
    EXPECT_EQ(tabela.rowCount(), 1);
    EXPECT_EQ(apontado.servidor.requests().size(), 3); // the count and two pages
}

TEST_F(ThreadPesquisaTest, ASecondStartWhileRunningIsIgnored) {
    const ServidorApontado apontado(UmPorPagina(1), std::chrono::milliseconds(200));
    Conexao conexao;
    ThreadPesquisa worker(conexao, tabela, espera);
    std::optional<Resultado> primeiro, segundo;
    ASSERT_TRUE(Iniciar(worker, primeiro));
    EXPECT_FALSE(Iniciar(worker, segundo));
    ASSERT_TRUE(Aguardar([&] { return !worker.Executando(); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(primeiro.has_value());
    EXPECT_FALSE(segundo.has_value());
    EXPECT_EQ(tabela.rowCount(), 1);
    EXPECT_EQ(apontado.servidor.requests().size(), 2);
}

TEST_F(ThreadPesquisaTest, DestroyingTheWorkerMidRunNeitherHangsNorReportsAnEnd) {
    const ServidorApontado apontado(UmPorPagina(50), std::chrono::milliseconds(100));
    Conexao conexao;
    std::optional<Resultado> fim;
    {
        ThreadPesquisa worker(conexao, tabela, espera);
        ASSERT_TRUE(Iniciar(worker, fim));
        // The worker now waits for the interface thread to take its count, then its first row.
        ASSERT_TRUE(Aguardar([&] { return apontado.servidor.requests().size() >= 2; }));
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(fim.has_value());
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
    std::optional<ThreadLog::Resultado> fim;
    ASSERT_TRUE(worker.Iniciar(
        URLBase() + QStringLiteral("/pesquisar_log"), MontarParametrosLog(tela, servico.sessao.chave()),
        [&](int registros) { espera.IniciarEspera(registros, {}); },
        [&](const ThreadLog::Resultado &r) { fim = r; }));
    ASSERT_TRUE(Aguardar([&] { return fim.has_value(); }));
    EXPECT_FALSE(fim->erro);
    ASSERT_EQ(log.rowCount(), 3);
    QSet<QByteArray> pares;
    for (int i = 0; i < 3; ++i)
        pares << log.Linha(i).script_anterior + "->" + log.Linha(i).script_atual;
    EXPECT_EQ(pares, (QSet<QByteArray>{"->antes", "antes->depois", "depois->"}));
    EXPECT_EQ(log.Linha(0).idscript, codigo);
    EXPECT_EQ(espera.Valor(), 3);
}

// No page is asked for beyond the limit, whatever the count says; a last page that overshoots it
// or the count is kept whole.
TEST_F(ThreadPesquisaTest, TheFetchStopsAtTheLimitAndKeepsEveryRecordReceived) {
    const struct {
        const char *nome;
        int registros;
        int teto;
        int linhas;
        int pedidos; // the count and the pages
    } casos[] = {
        {"a count above the limit", 1000000, 5, 6, 3},
        {"a last page beyond the count", 4, 100, 6, 3},
        {"the count reached exactly", 3, 100, 3, 2},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.nome);
        tabela.Esvaziar();
        const ServidorApontado apontado([&](const RecordingHttpServer::Request &pedido) {
            if (pedido.body.contains("contar=true"))
                return Contagem(caso.registros);
            return "[" + Registro(1, "a.sql") + "," + Registro(2, "b.sql") + "," + Registro(3, "c.sql") + "]";
        });
        Conexao conexao;
        const Resultado fim = Buscar(conexao, caso.teto);
        EXPECT_FALSE(fim.erro);
        EXPECT_EQ(fim.contagem.registros, caso.registros);
        EXPECT_EQ(espera.Maximo(), qMin(caso.registros, caso.teto));
        EXPECT_EQ(tabela.rowCount(), caso.linhas);
        EXPECT_EQ(apontado.servidor.requests().size(), caso.pedidos);
    }
}

TEST_F(ThreadPesquisaTest, ACountThatStopsTheSearchIsToldOnceAndFetchesNothing) {
    const struct {
        const char *nome;
        QByteArray resposta;
        bool contou;
        RecordingMessages::Kind caixa;
        QString texto;
    } casos[] = {
        {"refused", R"({"success":false,"message":"Chave inválida."})", true, RecordingMessages::Error,
         QStringLiteral("Chave inválida.")},
        {"nothing found", Contagem(0), true, RecordingMessages::Information, QStringLiteral("nada")},
        {"a negative count", Contagem(-3), true, RecordingMessages::Information, QStringLiteral("nada")},
        {"not JSON", "<html>", false, RecordingMessages::Error, QStringLiteral("ilegível")},
        {"no count", R"({"success":true})", false, RecordingMessages::Error, QStringLiteral("ilegível")},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.nome);
        espera.eventos.clear();
        const ServidorApontado apontado([&](const RecordingHttpServer::Request &) { return caso.resposta; });
        Conexao conexao;
        const Resultado fim = Buscar(conexao);
        EXPECT_EQ(fim.contou, caso.contou);
        EXPECT_FALSE(fim.buscou);
        EXPECT_TRUE(espera.eventos.isEmpty());
        EXPECT_EQ(apontado.servidor.requests().size(), 1);
        RecordingMessages messages;
        EXPECT_TRUE(RelatarContagem(messages, fim.erro, fim.contou ? &fim.contagem : nullptr,
                                    {QStringLiteral("ilegível"), QStringLiteral("nada")}));
        ASSERT_EQ(messages.boxes.size(), 1);
        EXPECT_EQ(messages.boxes[0].kind, caso.caixa);
        EXPECT_EQ(messages.boxes[0].text, caso.texto);
    }

    // A service that is not there: the general error report with the transport's own text.
    QByteArray livre;
    {
        const ServicoMudo mudo; // a port that nothing listens on once it is gone
        livre = qgetenv("BRISEL_SERVICE_URL");
    }
    qputenv("BRISEL_SERVICE_URL", livre);
    Conexao conexao;
    const Resultado fim = Buscar(conexao);
    qunsetenv("BRISEL_SERVICE_URL");
    EXPECT_FALSE(fim.contou);
    RecordingMessages messages;
    EXPECT_TRUE(
        RelatarContagem(messages, fim.erro, nullptr, {QStringLiteral("ilegível"), QStringLiteral("nada")}));
    ASSERT_EQ(messages.boxes.size(), 1);
    EXPECT_EQ(messages.boxes[0].kind, RecordingMessages::GeneralError);
    EXPECT_FALSE(messages.boxes[0].text.isEmpty());
}

// "Cancelar" during the count and during the fetch: the request in progress ends at once with
// ErroCancelado, well before the 60 s that a silent service would otherwise take.
TEST_F(ThreadPesquisaTest, CancelarAbortsTheRequestInProgress) {
    {
        const ServicoMudo mudo;
        Conexao conexao;
        ThreadPesquisa worker(conexao, tabela, espera);
        std::optional<Resultado> fim;
        ASSERT_TRUE(Iniciar(worker, fim));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 300);
        ASSERT_TRUE(worker.cancelamento());
        worker.cancelamento()->cancelar();
        ASSERT_TRUE(Aguardar([&] { return fim.has_value(); }, 10000));
        EXPECT_TRUE(Cancelado(*fim));
        EXPECT_FALSE(fim->contou);
        EXPECT_TRUE(espera.eventos.isEmpty());
    }
    {
        // The count arrives; the first page never does.
        std::atomic_bool soltar = false;
        const ServidorApontado apontado([&](const RecordingHttpServer::Request &pedido) {
            if (pedido.body.contains("contar=true"))
                return Contagem(4);
            for (int i = 0; i < 2000 && !soltar; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return QByteArray("[]");
        });
        Conexao conexao;
        ThreadPesquisa worker(conexao, tabela, espera);
        std::optional<Resultado> fim;
        ASSERT_TRUE(Iniciar(worker, fim));
        ASSERT_TRUE(Aguardar([&] { return apontado.servidor.requests().size() >= 2; }));
        worker.cancelamento()->cancelar();
        const bool terminou = Aguardar([&] { return fim.has_value(); }, 10000);
        soltar = true;
        ASSERT_TRUE(terminou);
        EXPECT_TRUE(Cancelado(*fim));
        EXPECT_TRUE(fim->contou && fim->buscou);
        EXPECT_EQ(tabela.rowCount(), 0);
    }
}

} // namespace
