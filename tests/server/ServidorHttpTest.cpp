#include "tests/server/ClienteBruto.h"
#include "tests/support/TestServer.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <chrono>
#include <iostream>
#include <list>
#include <thread>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

QByteArray hex(const QByteArray &texto) {
    return texto.toHex().toUpper();
}

} // namespace

TEST(ServidorHttp, LongFormBodiesAreReadAndOversizedOnesRefusedWithTheSizeEnvelope) {
    TestServer servidor;
    const int porta = servidor.port();
    // A script of 20,000 bytes is 40,000 hexadecimal digits: far past the library's form limit.
    const QByteArray longo = "usuario=DEV&senha=x&script=" + QByteArray(40000, 'A');
    const QByteArray resposta = ClienteBruto::trocar(porta, PedidoPost("/login", longo));
    EXPECT_TRUE(resposta.startsWith("HTTP/1.1 200")) << resposta.left(40).constData();
    EXPECT_EQ(EnvelopeDe(resposta).value("message").toString(),
              QStringLiteral("Usuário ou senha inválidos."));

    const QByteArray chave = Entrar(porta, "DEV", "senha");
    const QByteArray corpo =
        CorpoFormulario(
            {{"chave", chave}, {"data", "2024-01-01 00:00:00"}, {"nome", "grande.sql"}, {"sistema", "KOR"}}) +
        "&script=" + QByteArray(17 * 1024 * 1024, 'A');
    // Sent whole, and with a length far beyond what is sent: the same refusal either way.
    for (const QByteArray &tamanho : {QByteArray::number(corpo.size()), QByteArray("1073741824")}) {
        ClienteBruto cliente(porta);
        cliente.enviar("POST /services/index.php/scripts/inserir HTTP/1.1\r\nHost: x\r\nContent-Type: "
                       "application/x-www-form-urlencoded\r\nContent-Length: " +
                       tamanho + "\r\n\r\n" + corpo);
        const QByteArray recusa = cliente.receberTudo(30s);
        EXPECT_TRUE(recusa.startsWith("HTTP/1.1 200")) << recusa.left(40).constData();
        const QJsonObject envelope = EnvelopeDe(recusa);
        EXPECT_FALSE(envelope.value("success").toBool(true));
        EXPECT_EQ(envelope.value("message").toString(),
                  QStringLiteral("O corpo da requisição excede o limite de 16777216 bytes."));
    }
    EXPECT_EQ(Contar(porta, chave, "/pesquisar"), 0);
}

TEST(ServidorHttp, APostWithNeitherLengthNorChunksHasAnEmptyBodyAndIsAnsweredAtOnce) {
    TestServer servidor({QStringLiteral("DEV:senha")},
                        {QStringLiteral("--read-timeout"), QStringLiteral("60")});
    ClienteBruto cliente(servidor.port());
    cliente.enviar("POST /services/index.php/scripts/login HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    // Far less than the read time-out the service would wait for a body that never comes.
    bool fechou = false;
    const QByteArray resposta = cliente.receberTudo(10s, &fechou);
    EXPECT_TRUE(fechou);
    EXPECT_EQ(EnvelopeDe(resposta).value("message").toString(), QStringLiteral("Usuário ou senha inválidos."))
        << resposta.constData();
}

TEST(ServidorHttp, UnknownPathsAreNotFoundAndEachRequestIsLogged) {
    TestServer servidor;
    EXPECT_TRUE(
        ClienteBruto::trocar(servidor.port(), "GET /nada HTTP/1.0\r\n\r\n").startsWith("HTTP/1.1 404"));
    const QByteArray versao = ClienteBruto::trocar(
        servidor.port(), "GET /services/index.php/versao/listar?programa=SCRIPTS HTTP/1.0\r\n\r\n");
    EXPECT_TRUE(versao.endsWith("\r\n\r\n\"" BRISEL_VERSION "\"")) << versao.constData();
    const QString log = servidor.log();
    EXPECT_TRUE(log.contains(QStringLiteral("GET /nada 404"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("GET /services/index.php/versao/listar 200")))
        << log.toStdString();
}

namespace {

// The three writes, each as a whole request and as the part of it sent before the fault: the
// POSTs lose the end of their body (what is left is still a valid shorter script), the GET the
// end of its headers.
struct Escrita {
    const char *nome;
    QByteArray (*pedido)(const QByteArray &chave);
    qsizetype corte; // bytes left out at the end
};

const QByteArray ScriptOriginal = "DELETE FROM CLIENTES WHERE ID = 42;";

const Escrita Escritas[] = {
    {"inserir",
     [](const QByteArray &chave) {
         return PedidoPost("/inserir", CorpoFormulario({{"chave", chave},
                                                        {"data", "2024-01-01 00:00:00"},
                                                        {"nome", "novo.sql"},
                                                        {"sistema", "KOR"},
                                                        {"script", hex(ScriptOriginal)}}));
     },
     16},
    {"atualizar",
     [](const QByteArray &chave) {
         return PedidoPost("/atualizar",
                           CorpoFormulario({{"chave", chave},
                                            {"codigo", "1"},
                                            {"script", hex("UPDATE CONTAS SET SALDO = 0 WHERE ID = 7;")}}));
     },
     26},
    {"excluir",
     [](const QByteArray &chave) {
         return "GET /services/index.php/scripts/excluir?codigo=1&chave=" + chave +
                " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
     },
     2},
};

enum class Falha { Nenhuma, Cortado, Parado };

// What the writes may change: the scripts, the log, and the text of script 1.
struct Estado {
    int scripts = 0;
    int log = 0;
    QString script1;
    bool operator==(const Estado &) const = default;
};

void PrintTo(const Escrita &escrita, std::ostream *os) {
    *os << escrita.nome;
}

void PrintTo(Falha falha, std::ostream *os) {
    const char *nomes[] = {"inteiro", "cortado", "parado"};
    *os << nomes[int(falha)];
}

std::string NomeDoCaso(const testing::TestParamInfo<std::tuple<Escrita, Falha>> &info) {
    return testing::PrintToString(std::get<0>(info.param)) + "_" +
           testing::PrintToString(std::get<1>(info.param));
}

std::ostream &operator<<(std::ostream &os, const Estado &e) {
    return os << e.scripts << " scripts, " << e.log << " log entries, script 1 = " << e.script1.toStdString();
}

class EscritaIncompleta : public testing::TestWithParam<std::tuple<Escrita, Falha>> {
protected:
    void SetUp() override {
        chave = Entrar(servidor.port(), "DEV", "senha");
        ASSERT_FALSE(chave.isEmpty());
        ASSERT_TRUE(EnvelopeDe(ClienteBruto::trocar(servidor.port(), Escritas[0].pedido(chave)))
                        .value("success")
                        .toBool());
    }

    Estado estado() {
        const QByteArray pagina = ClienteBruto::trocar(
            servidor.port(),
            PedidoPost(
                "/pesquisar",
                CorpoFormulario({{"maximo", "1"}, {"lidos", "0"}, {"codigo", "1"}, {"chave", chave}})));
        const QJsonArray registros =
            QJsonDocument::fromJson(pagina.mid(pagina.indexOf("\r\n\r\n") + 4)).array();
        return {Contar(servidor.port(), chave, "/pesquisar"),
                Contar(servidor.port(), chave, "/pesquisar_log"),
                registros.first().toObject().value("SCRIPT_SC").toString()};
    }

    TestServer servidor{{QStringLiteral("DEV:senha")},
                        {QStringLiteral("--read-timeout"), QStringLiteral("1"),
                         QStringLiteral("--request-timeout"), QStringLiteral("3")}};
    QByteArray chave;
};

} // namespace

TEST_P(EscritaIncompleta, ChangesNothingAndGetsNoSuccess) {
    const auto &[escrita, falha] = GetParam();
    const Estado antes = estado();
    QByteArray pedido = escrita.pedido(chave);
    if (falha != Falha::Nenhuma)
        pedido.chop(escrita.corte);

    ClienteBruto cliente(servidor.port());
    ASSERT_TRUE(cliente.enviar(pedido));
    if (falha == Falha::Cortado)
        cliente.encerrarEnvio();
    // A stalled request ends at the read time-out (1 s), well within this bound.
    bool fechou = false;
    const QByteArray resposta = cliente.receberTudo(15s, &fechou);
    EXPECT_TRUE(fechou) << "the service still holds the connection";
    const bool sucesso = EnvelopeDe(resposta).value("success").toBool();

    if (falha == Falha::Nenhuma) {
        // The same request whole succeeds and changes what it should: the faults are the only difference.
        EXPECT_TRUE(sucesso) << resposta.constData();
        EXPECT_NE(estado(), antes);
    } else {
        EXPECT_FALSE(sucesso) << resposta.constData();
        EXPECT_EQ(estado(), antes);
    }
}

INSTANTIATE_TEST_SUITE_P(Casos, EscritaIncompleta,
                         testing::Combine(testing::ValuesIn(Escritas),
                                          testing::Values(Falha::Nenhuma, Falha::Cortado, Falha::Parado)),
                         NomeDoCaso);

TEST_F(EscritaIncompleta, ARequestTrickledInWithinTheReadTimeoutStillEndsAtItsDeadline) {
    const Estado antes = estado();
    const QByteArray pedido = Escritas[1].pedido(chave);
    ClienteBruto cliente(servidor.port());
    // One byte every 200 ms never trips the 1 s read time-out; the whole request may take 3 s.
    bool fechou = false;
    QByteArray resposta;
    const auto inicio = std::chrono::steady_clock::now();
    for (qsizetype i = 0; i < pedido.size() && !fechou && std::chrono::steady_clock::now() - inicio < 15s;
         ++i) {
        if (!cliente.enviar(pedido.mid(i, 1)))
            break;
        resposta += cliente.receberTudo(200ms, &fechou);
    }
    EXPECT_TRUE(fechou || !cliente.enviar("x")) << "the service still reads the request";
    EXPECT_FALSE(EnvelopeDe(resposta).value("success").toBool()) << resposta.constData();
    EXPECT_EQ(estado(), antes);
}

TEST(ServidorHttp, TwoHundredIdleOrTricklingConnectionsDoNotHoldUpASearch) {
    TestServer servidor; // read time-out 5 s
    const int porta = servidor.port();
    const QByteArray chave = Entrar(porta, "DEV", "senha");
    ASSERT_FALSE(chave.isEmpty());

    std::list<ClienteBruto> ociosas, lentas;
    for (int i = 0; i < 100; ++i) {
        ociosas.emplace_back(porta);
        lentas.emplace_back(porta);
        ASSERT_TRUE(ociosas.back().conectado() && lentas.back().conectado());
        lentas.back().enviar("POST /services/index.php/scripts/pesquisar HTTP/1.1\r\nHost: x\r\n");
    }
    // Three searches a second apart while the slow ones keep sending a header line. Had any of
    // them waited behind one of the 200 connections, it would have taken the 5 s read time-out.
    std::chrono::milliseconds maisLenta{0};
    for (int rodada = 0; rodada < 3; ++rodada) {
        for (ClienteBruto &c : lentas)
            c.enviar("X-Devagar: " + QByteArray::number(rodada) + "\r\n");
        const auto inicio = std::chrono::steady_clock::now();
        const int registros = Contar(porta, chave, "/pesquisar");
        const auto duracao =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - inicio);
        EXPECT_EQ(registros, 0);
        maisLenta = std::max(maisLenta, duracao);
        std::this_thread::sleep_for(1s);
    }
    std::cout << "slowest search beside 200 idle or trickling connections: " << maisLenta.count() << " ms\n";
    EXPECT_LT(maisLenta, 4s);
}

TEST(ServidorHttp, PastTheConnectionLimitANewConnectionIsClosedAtOnceAndServiceResumesWhenOnesEnd) {
    TestServer servidor({QStringLiteral("DEV:senha")},
                        {QStringLiteral("--max-connections"), QStringLiteral("2")});
    const int porta = servidor.port();
    {
        std::list<ClienteBruto> ociosas;
        ociosas.emplace_back(porta);
        ociosas.emplace_back(porta);
        // Once the service has taken both, one more is closed without an answer (tried again
        // while the two may still be on their way in).
        bool recusada = false;
        for (int tentativa = 0; tentativa < 30 && !recusada; ++tentativa) {
            ClienteBruto outra(porta);
            outra.enviar("GET /services/index.php/versao/listar HTTP/1.0\r\n\r\n");
            bool fechou = false;
            recusada = outra.receberTudo(5s, &fechou).isEmpty() && fechou;
            if (!recusada)
                std::this_thread::sleep_for(100ms);
        }
        EXPECT_TRUE(recusada) << "a connection past the limit was served or held";
    }
    // The idle ones have gone: requests are served again once the service has seen them close.
    QByteArray versao;
    for (int tentativa = 0; tentativa < 50 && versao.isEmpty(); ++tentativa) {
        std::this_thread::sleep_for(100ms);
        versao = ClienteBruto::trocar(porta, "GET /services/index.php/versao/listar HTTP/1.0\r\n\r\n");
    }
    EXPECT_TRUE(versao.endsWith("\"" BRISEL_VERSION "\"")) << versao.constData();
}
