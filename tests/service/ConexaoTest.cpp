#include "base/Cancelamento.h"
#include "service/Conexao.h"
#include "service/ErroCancelado.h"
#include "service/ErroTransporte.h"
#include "tests/service/RecordingServer.h"

#include <gtest/gtest.h>

#include <chrono>
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

TEST(ConexaoWire, NoServiceIsATransportFailure) {
    int porta;
    {
        RecordingServer fechado;
        porta = fechado.port();
    }
    Conexao conexao;
    EXPECT_THROW(conexao.Get(QStringLiteral("http://127.0.0.1:%1/v").arg(porta)), ErroTransporte);
}

TEST(ConexaoWire, AServiceThatNeverAnswersEndsWithATimeOut) {
    RecordingServer peer;
    peer.setSilent(true);
    Conexao conexao;
    conexao.setTempoParado(1);
    try {
        conexao.Post(peer.baseUrl() + "/login", campos({{"x", "1"}}));
        FAIL() << "no failure";
    } catch (const ErroTransporte &e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
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
    EXPECT_THROW(conexao.Post(peer.baseUrl() + "/login", campos({{"x", "1"}})), ErroCancelado);
    usuario.join();
    // Once set, the stop holds for every later request of the action: none is sent.
    EXPECT_THROW(conexao.Post(peer.baseUrl() + "/login", campos({{"x", "2"}})), ErroCancelado);
    EXPECT_EQ(peer.requests().size(), 1);
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
