#include "service/Conexao.h"
#include "base/Cancelamento.h"
#include "service/ErroCancelado.h"
#include "service/ErroTransporte.h"
#include "service/FalhaTransporte.h"
#include "tests/service/RecordingServer.h"

#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

CamposRequisicao campos(std::initializer_list<std::pair<const char *, QString>> lista) {
    CamposRequisicao c;
    for (const auto &[nome, valor] : lista)
        c.set(QString::fromLatin1(nome), valor);
    return c;
}

} // namespace

TEST(ConexaoWire, PostIsHttp10FormWithFixedHeadersAndEncodedBody) {
    RecordingServer peer;
    Conexao conexao;
    conexao.Post(
        peer.baseUrl() + "/inserir",
        campos({{"nome", QStringLiteral("relatório final.sql")}, {"vazio", QString()}, {"sistema", "KOR"}}));
    const auto req = peer.requests().value(0);
    EXPECT_EQ(req.requestLine, "POST /services/index.php/scripts/inserir HTTP/1.0");
    EXPECT_EQ(req.header("Accept"), "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    EXPECT_EQ(req.header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_EQ(req.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(req.header("Content-Length"), QByteArray::number(req.body.size()));
    EXPECT_EQ(req.body, "nome=relat%C3%B3rio+final.sql&sistema=KOR");
    EXPECT_TRUE(req.header("Expect").isEmpty());
    EXPECT_TRUE(req.header("Accept-Encoding").isEmpty());
}

TEST(ConexaoWire, AllFieldsEmptySendsAnEmptyBody) {
    RecordingServer peer;
    Conexao conexao;
    conexao.Post(peer.baseUrl() + "/x", campos({{"a", QString()}}));
    const auto req = peer.requests().value(0);
    EXPECT_EQ(req.header("Content-Length"), "0");
    EXPECT_EQ(req.body, QByteArray());
}

TEST(ConexaoWire, EachPostOpensANewConnectionAndGetIsHttp11) {
    RecordingServer peer;
    Conexao conexao;
    conexao.Post(peer.baseUrl() + "/a", campos({{"x", "1"}}));
    conexao.Post(peer.baseUrl() + "/b", campos({{"x", "2"}}));
    conexao.Get(peer.rootUrl() + "/services/index.php/versao/listar?programa=SCRIPTS");
    const auto reqs = peer.requests();
    ASSERT_EQ(reqs.size(), 3);
    EXPECT_NE(reqs[0].connection, reqs[1].connection);
    EXPECT_EQ(reqs[2].requestLine, "GET /services/index.php/versao/listar?programa=SCRIPTS HTTP/1.1");
    EXPECT_EQ(reqs[2].header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
}

TEST(ConexaoWire, CookiesSetByAReplyTravelWithLaterRequests) {
    RecordingServer peer;
    peer.queueReply(
        RecordingServer::reply("{}", "application/json", "200 OK", "Set-Cookie: sessao=abc; Path=/\r\n"));
    Conexao conexao;
    conexao.Post(peer.baseUrl() + "/login", campos({{"x", "1"}}));
    conexao.Post(peer.baseUrl() + "/pesquisar", campos({{"x", "1"}}));
    const auto reqs = peer.requests();
    ASSERT_EQ(reqs.size(), 2);
    EXPECT_TRUE(reqs[0].header("Cookie").isEmpty());
    EXPECT_EQ(reqs[1].header("Cookie"), "sessao=abc");
}

struct Decodificacao {
    QByteArray contentType;
    QByteArray corpo;
    QString esperado;
};

class ConexaoDecodificacao : public testing::TestWithParam<Decodificacao> {};

TEST_P(ConexaoDecodificacao, BodyIsDecodedByTheReplyCharset) {
    RecordingServer peer;
    peer.queueReply(RecordingServer::reply(GetParam().corpo, GetParam().contentType));
    Conexao conexao;
    EXPECT_EQ(conexao.Get(peer.rootUrl() + "/v"), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ConexaoDecodificacao,
    testing::Values(
        // Without a charset each byte is one character: é arrives as two.
        Decodificacao{"application/json", "\"\xC3\xA9\"", QString::fromLatin1("\"\xC3\xA9\"")},
        Decodificacao{"application/json; charset=utf-8", "\"\xC3\xA9\"", QStringLiteral("\"é\"")},
        Decodificacao{"text/html; charset=\"UTF-8\"", "\xC3\xA9", QStringLiteral("é")},
        Decodificacao{"text/plain; charset=windows-1252", "\x80", QStringLiteral("€")},
        Decodificacao{"text/plain; charset=no-such-charset", "\xC3\xA9", QString::fromLatin1("\xC3\xA9")},
        Decodificacao{"", "\xE9", QString::fromLatin1("\xE9")}));

TEST(ConexaoWire, FailureStatusIsATransportFailureEvenWithJson) {
    RecordingServer peer;
    peer.queueReply(
        RecordingServer::reply("{\"success\":true}", "application/json", "500 Internal Server Error"));
    Conexao conexao;
    try {
        conexao.Post(peer.baseUrl() + "/login", campos({{"x", "1"}}));
        FAIL() << "no failure";
    } catch (const ErroTransporte &e) {
        EXPECT_TRUE(e.message().contains("500")) << e.message().toStdString();
    }
}

TEST(ConexaoWire, RedirectIsNotFollowedAndGivesTheEmptyText) {
    RecordingServer peer;
    peer.queueReply(RecordingServer::reply("{\"success\":true}", "application/json", "302 Found",
                                           "Location: " + peer.rootUrl().toLatin1() + "/outro\r\n"));
    Conexao conexao;
    EXPECT_EQ(conexao.Post(peer.baseUrl() + "/login", campos({{"x", "1"}})), QString());
    EXPECT_EQ(peer.requests().size(), 1);
}

TEST(ConexaoWire, NoServiceSaysTheConnectionWasRefused) {
    int porta;
    {
        RecordingServer fechado;
        porta = fechado.port();
    }
    Conexao conexao;
    try {
        conexao.Get(QStringLiteral("http://127.0.0.1:%1/v").arg(porta));
        FAIL() << "no failure";
    } catch (const ErroTransporte &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Não foi possível conectar ao serviço em 127.0.0.1:%1 (conexão recusada).")
                      .arg(porta));
        EXPECT_FALSE(e.pedidoEnviado());
    }
}

namespace {

struct FalhaReal {
    const char *nome;
    std::function<void(RecordingServer &, Conexao &)> preparar;
    const char *mensagem; // %1: the service's host:port
    bool pedidoEnviado;   // the whole request reached the service, which did not answer
};

class ConexaoFalhas : public testing::TestWithParam<FalhaReal> {};

} // namespace

TEST_P(ConexaoFalhas, EachFailureIsOneSentenceWithItsCause) {
    RecordingServer peer;
    Conexao conexao;
    conexao.setTempoParado(30);
    GetParam().preparar(peer, conexao);
    try {
        conexao.Post(peer.baseUrl() + "/login", campos({{"x", "1"}}));
        FAIL() << "no failure";
    } catch (const ErroTransporte &e) {
        EXPECT_EQ(
            e.message(),
            QString::fromUtf8(GetParam().mensagem).arg(QStringLiteral("127.0.0.1:%1").arg(peer.port())));
        EXPECT_EQ(e.pedidoEnviado(), GetParam().pedidoEnviado);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ConexaoFalhas,
    testing::Values(
        FalhaReal{"status",
                  [](RecordingServer &p, Conexao &) {
                      p.queueReply(
                          RecordingServer::reply("{}", "application/json", "503 Service Unavailable"));
                  },
                  "O serviço em %1 respondeu com um erro (HTTP/1.1 503 Service Unavailable).", false},
        FalhaReal{
            "fechada_sem_resposta",
            [](RecordingServer &p, Conexao &) { p.setFim(RecordingServer::Fim::Fechar); },
            "A conexão com o serviço em %1 foi interrompida (o servidor fechou a conexão sem responder).",
            true},
        FalhaReal{"redefinida",
                  [](RecordingServer &p, Conexao &) { p.setFim(RecordingServer::Fim::Redefinir); },
                  "A conexão com o serviço em %1 foi interrompida (conexão redefinida pelo servidor).", true},
        FalhaReal{"resposta_incompleta",
                  [](RecordingServer &p, Conexao &) {
                      p.queueReply(
                          "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\n0123456789");
                  },
                  "A conexão com o serviço em %1 foi interrompida (resposta incompleta).", true},
        FalhaReal{"sem_dados",
                  [](RecordingServer &p, Conexao &c) {
                      p.setSilent(true);
                      c.setTempoParado(1);
                  },
                  "O serviço em %1 parou de responder (nenhum dado em 1 s).", true},
        // A reply that announces a length above the limit is refused before its body is read.
        FalhaReal{"tamanho_anunciado_grande_demais",
                  [](RecordingServer &p, Conexao &) {
                      p.setFluxo({qint64(300) * 1000 * 1000, 64 * 1024, 0, true});
                  },
                  "A resposta do serviço em %1 é grande demais (mais de 256 MiB).", true}),
    [](const testing::TestParamInfo<FalhaReal> &info) { return std::string(info.param.nome); });

namespace {

qint64 picoMemoriaKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &linha : status.readAll().split('\n'))
        if (linha.startsWith("VmHWM:"))
            return linha.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Starts a new peak-memory measurement from the current resident size.
bool zerarPicoMemoria() {
    QFile limpar(QStringLiteral("/proc/self/clear_refs"));
    return limpar.open(QIODevice::WriteOnly) && limpar.write("5") == 1;
}

} // namespace

TEST(ConexaoLimites, AReplyWithoutLengthIsCutAtTheSizeLimitWithoutHoldingItAll) {
    constexpr qint64 tamanho = qint64(300) * 1000 * 1000;
    constexpr qint64 limite = qint64(16) * 1024 * 1024;
    RecordingServer peer;
    peer.setFluxo({tamanho, 64 * 1024, 0, false});
    Conexao conexao;
    conexao.setTamanhoMaximo(limite);
    const bool medindo = zerarPicoMemoria();
    const qint64 antes = picoMemoriaKiB();
    try {
        conexao.Get(peer.rootUrl() + "/grande");
        FAIL() << "no failure";
    } catch (const ErroTransporte &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("A resposta do serviço em 127.0.0.1:%1 é grande demais (mais de 16 MiB).")
                      .arg(peer.port()));
    }
    // The client stopped reading: the peer got out little more than the limit and its socket buffers.
    EXPECT_LT(peer.enviadosFluxo(), 4 * limite);
    if (!medindo)
        GTEST_SKIP() << "peak memory cannot be reset here";
    const qint64 crescimentoKiB = picoMemoriaKiB() - antes;
    EXPECT_LT(crescimentoKiB * 1024, 4 * limite) << crescimentoKiB << " KiB";
}

TEST(ConexaoLimites, AReplyThatTricklesEndsAtTheDeadline) {
    RecordingServer peer;
    peer.setFluxo({1000, 1, 1000, true}); // one byte a second: never a stall, never an end
    Conexao conexao;
    conexao.setTempoParado(30);
    conexao.setPrazo(2);
    const auto inicio = std::chrono::steady_clock::now();
    try {
        conexao.Get(peer.rootUrl() + "/lento");
        FAIL() << "no failure";
    } catch (const ErroTransporte &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("O serviço em 127.0.0.1:%1 não terminou de responder no tempo limite (2 s).")
                      .arg(peer.port()));
    }
    // Ended by the deadline, not by the 30 s stall time-out.
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(20));
}

TEST(ConexaoLimites, CancelarEndsAReplyThatTricklesAtOnce) {
    RecordingServer peer;
    peer.setFluxo({1000, 1, 200, true});
    Conexao conexao;
    conexao.setPrazo(60); // were the stop not seen, only the deadline would end it
    Cancelamento cancelamento;
    std::thread usuario([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        cancelamento.cancelar();
    });
    Conexao::Cancelavel cancelavel(cancelamento);
    EXPECT_THROW(conexao.Get(peer.rootUrl() + "/lento"), ErroCancelado);
    usuario.join();
    // Some bytes had arrived: the stop came in the middle of the reply.
    EXPECT_GT(peer.enviadosFluxo(), 0);
}

TEST(ConexaoLimites, DefaultsAreFiveMinutesAnd256MiB) {
    EXPECT_EQ(Conexao::PrazoPadrao, 300);
    EXPECT_EQ(Conexao::TamanhoMaximoPadrao, 256 * 1024 * 1024);
}

struct TextoFalha {
    FalhaTransporte falha;
    const char *esperado;
};

class TextosFalha : public testing::TestWithParam<TextoFalha> {};

TEST_P(TextosFalha, CauseFirstThenDetailAndAFullStop) {
    EXPECT_EQ(GetParam().falha.mensagem(), QString::fromUtf8(GetParam().esperado));
}

using Causa = FalhaTransporte::Causa;
const QString servico = QStringLiteral("scripts.exemplo.com.br:80");

INSTANTIATE_TEST_SUITE_P(
    Casos, TextosFalha,
    testing::Values(
        TextoFalha{{Causa::ConexaoRecusada, "127.0.0.1:39711", "conexão recusada"},
                   "Não foi possível conectar ao serviço em 127.0.0.1:39711 (conexão recusada)."},
        TextoFalha{{Causa::TempoConexao, servico, FalhaTransporte::tempo(10)},
                   "Tempo esgotado ao conectar ao serviço em scripts.exemplo.com.br:80 (10 s)."},
        TextoFalha{{Causa::NomeNaoEncontrado, servico, "nome não encontrado"},
                   "Não foi possível encontrar o servidor do serviço em scripts.exemplo.com.br:80 (nome não "
                   "encontrado)."},
        TextoFalha{{Causa::SemDados, servico, "nenhum dado em " + FalhaTransporte::tempo(60)},
                   "O serviço em scripts.exemplo.com.br:80 parou de responder (nenhum dado em 1 min)."},
        TextoFalha{
            {Causa::Prazo, servico, FalhaTransporte::tempo(300)},
            "O serviço em scripts.exemplo.com.br:80 não terminou de responder no tempo limite (5 min)."},
        TextoFalha{
            {Causa::Interrompida, servico, "conexão redefinida pelo servidor"},
            "A conexão com o serviço em scripts.exemplo.com.br:80 foi interrompida (conexão redefinida "
            "pelo servidor)."},
        TextoFalha{{Causa::Status, servico, "HTTP/1.1 404 Not Found"},
                   "O serviço em scripts.exemplo.com.br:80 respondeu com um erro (HTTP/1.1 404 Not Found)."},
        TextoFalha{{Causa::GrandeDemais, servico, "mais de " + FalhaTransporte::tamanho(256 * 1024 * 1024)},
                   "A resposta do serviço em scripts.exemplo.com.br:80 é grande demais (mais de 256 MiB)."},
        // The library's own text keeps its words but not its full stop.
        TextoFalha{{Causa::Outra, servico, "Unsupported protocol."},
                   "Falha na comunicação com o serviço em scripts.exemplo.com.br:80 (Unsupported protocol)."},
        TextoFalha{{Causa::Outra, servico, ""},
                   "Falha na comunicação com o serviço em scripts.exemplo.com.br:80."}));

TEST(FalhaTransporte, TimesAndSizesInTheirUnits) {
    EXPECT_EQ(FalhaTransporte::tempo(45), QStringLiteral("45 s"));
    EXPECT_EQ(FalhaTransporte::tempo(90), QStringLiteral("1 min 30 s"));
    EXPECT_EQ(FalhaTransporte::tamanho(64 * 1024), QStringLiteral("64 KiB"));
    EXPECT_EQ(FalhaTransporte::tamanho(1000), QStringLiteral("1000 bytes"));
}

TEST(ConexaoWire, CancelarAbortsAWaitForAServiceThatNeverAnswers) {
    RecordingServer peer;
    peer.setSilent(true);
    Conexao conexao;
    conexao.setTempoParado(30); // were the stop not seen, the stall time-out would end it instead
    Cancelamento cancelamento;
    std::thread usuario([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancelamento.cancelar();
    });
    Conexao::Cancelavel cancelavel(cancelamento);
    try {
        conexao.Post(peer.baseUrl() + "/login", campos({{"x", "1"}}));
        FAIL() << "not stopped";
    } catch (const ErroCancelado &e) {
        EXPECT_TRUE(e.pedidoEnviado()); // the service had it and may have acted on it
    }
    usuario.join();
    // Once set, the stop holds for every later request of the action: none is sent.
    try {
        conexao.Post(peer.baseUrl() + "/login", campos({{"x", "2"}}));
        FAIL() << "not stopped";
    } catch (const ErroCancelado &e) {
        EXPECT_FALSE(e.pedidoEnviado());
    }
    EXPECT_EQ(peer.requests().size(), 1);
}

// A service that takes the connection but not the body: a stop while the body is still going
// out leaves a request the service never had whole, which it cannot have carried out.
TEST(ConexaoWire, AStopWhileTheBodyIsStillGoingOutSaysTheRequestWasNotSent) {
    const int ouvinte = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(ouvinte, 0);
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t tamanho = sizeof endereco;
    ASSERT_EQ(::bind(ouvinte, reinterpret_cast<sockaddr *>(&endereco), sizeof endereco), 0);
    ASSERT_EQ(::listen(ouvinte, 1), 0); // never accepted: the kernel holds the little it takes
    ASSERT_EQ(::getsockname(ouvinte, reinterpret_cast<sockaddr *>(&endereco), &tamanho), 0);
    Conexao conexao;
    Cancelamento cancelamento;
    std::thread usuario([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancelamento.cancelar();
    });
    Conexao::Cancelavel cancelavel(cancelamento);
    try {
        conexao.Post(QStringLiteral("http://127.0.0.1:%1/inserir").arg(ntohs(endereco.sin_port)),
                     campos({{"script", QString(32 * 1024 * 1024, u'A')}}));
        FAIL() << "not stopped";
    } catch (const ErroCancelado &e) {
        EXPECT_FALSE(e.pedidoEnviado());
    }
    usuario.join();
    ::close(ouvinte);
}

TEST(ConexaoWire, CancelarEndsAWaitForTheConnectionHeldByAnotherThread) {
    RecordingServer peer;
    peer.setSilent(true);
    Conexao conexao;
    conexao.setTempoParado(30);
    Cancelamento doEditor;
    std::thread editor([&] {
        Conexao::Cancelavel cancelavel(doEditor);
        EXPECT_THROW(conexao.Post(peer.baseUrl() + "/atualizar", campos({{"x", "1"}})), ErroCancelado);
    });
    while (peer.requests().isEmpty()) // the editor's request now holds the connection
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Cancelamento daPagina;
    std::thread usuario([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        daPagina.cancelar();
    });
    {
        Conexao::Cancelavel cancelavel(daPagina);
        EXPECT_THROW(conexao.Post(peer.baseUrl() + "/pesquisar", campos({{"x", "2"}})), ErroCancelado);
    }
    // The page's stop came while the editor's request was still waiting for its reply.
    EXPECT_EQ(peer.requests().size(), 1);
    doEditor.cancelar();
    usuario.join();
    editor.join();
}

TEST(ConexaoWire, AStopOfAnotherThreadDoesNotTouchThisThreadsRequests) {
    RecordingServer peer;
    Conexao conexao;
    Cancelamento cancelado;
    cancelado.cancelar();
    std::thread outra([&] {
        Conexao::Cancelavel cancelavel(cancelado);
        EXPECT_THROW(conexao.Post(peer.baseUrl() + "/a", campos({{"x", "1"}})), ErroCancelado);
    });
    outra.join();
    EXPECT_NO_THROW(conexao.Post(peer.baseUrl() + "/b", campos({{"x", "2"}})));
}

TEST(ConexaoWire, RequestsFromTwoThreadsDoNotOverlap) {
    RecordingServer peer;
    peer.setHoldMs(300);
    Conexao conexao;
    std::thread outra([&] { conexao.Post(peer.baseUrl() + "/a", campos({{"x", "1"}})); });
    conexao.Post(peer.baseUrl() + "/b", campos({{"x", "2"}}));
    outra.join();
    const auto reqs = peer.requests();
    ASSERT_EQ(reqs.size(), 2);
    EXPECT_FALSE(reqs[0].overlapped);
    EXPECT_FALSE(reqs[1].overlapped);
}
