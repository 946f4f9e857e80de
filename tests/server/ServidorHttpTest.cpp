#include "tests/support/TestServer.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// Sends one raw request and returns the whole reply.
QByteArray trocar(int porta, const QByteArray &pedido) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(porta));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return QByteArray();
    }
    for (qsizetype enviado = 0; enviado < pedido.size();) {
        const ssize_t n =
            ::send(fd, pedido.constData() + enviado, size_t(pedido.size() - enviado), MSG_NOSIGNAL);
        if (n <= 0)
            break;
        enviado += n;
    }
    QByteArray resposta;
    char buffer[4096];
    ssize_t n;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
        resposta.append(buffer, n);
    ::close(fd);
    return resposta;
}

QByteArray post(int porta, const QByteArray &caminho, const QByteArray &corpo) {
    return trocar(porta, "POST " + caminho +
                             " HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                             "Content-Length: " +
                             QByteArray::number(corpo.size()) + "\r\n\r\n" + corpo);
}

} // namespace

TEST(ServidorHttp, LongFormBodiesAreReadAndOversizedOnesRefusedWithAnEnvelope) {
    TestServer servidor;
    // A script of 20,000 bytes is 40,000 hexadecimal digits: far past the library's form limit.
    const QByteArray longo = "usuario=DEV&senha=x&script=" + QByteArray(40000, 'A');
    const QByteArray resposta = post(servidor.port(), "/services/index.php/scripts/login", longo);
    EXPECT_TRUE(resposta.startsWith("HTTP/1.1 200")) << resposta.left(40).constData();
    EXPECT_TRUE(resposta.contains("Usuário ou senha inválidos.")) << resposta.constData();

    const QByteArray enorme = "script=" + QByteArray(17 * 1024 * 1024, 'A');
    const QByteArray recusa = post(servidor.port(), "/services/index.php/scripts/inserir", enorme);
    EXPECT_TRUE(recusa.startsWith("HTTP/1.1 200")) << recusa.left(40).constData();
    EXPECT_TRUE(recusa.contains("\"success\":false")) << recusa.constData();
}

TEST(ServidorHttp, UnknownPathsAreNotFoundAndEachRequestIsLogged) {
    TestServer servidor;
    EXPECT_TRUE(trocar(servidor.port(), "GET /nada HTTP/1.0\r\n\r\n").startsWith("HTTP/1.1 404"));
    const QByteArray versao =
        trocar(servidor.port(), "GET /services/index.php/versao/listar?programa=SCRIPTS HTTP/1.0\r\n\r\n");
    EXPECT_TRUE(versao.endsWith("\r\n\r\n\"" BRISEL_VERSION "\"")) << versao.constData();
    const QString log = servidor.log();
    EXPECT_TRUE(log.contains(QStringLiteral("GET /nada 404"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("GET /services/index.php/versao/listar 200")))
        << log.toStdString();
}
