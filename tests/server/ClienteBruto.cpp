#include "tests/server/ClienteBruto.h"

#include "service/Md5Senha.h"

#include <QJsonDocument>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ClienteBruto::ClienteBruto(int porta) {
    FSocket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(porta));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(FSocket, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(FSocket);
        FSocket = -1;
    }
}

ClienteBruto::~ClienteBruto() {
    if (FSocket >= 0)
        ::close(FSocket);
}

bool ClienteBruto::enviar(const QByteArray &dados) {
    for (qsizetype enviado = 0; enviado < dados.size();) {
        const ssize_t n =
            ::send(FSocket, dados.constData() + enviado, size_t(dados.size() - enviado), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        enviado += n;
    }
    return true;
}

void ClienteBruto::encerrarEnvio() {
    ::shutdown(FSocket, SHUT_WR);
}

QByteArray ClienteBruto::receberTudo(std::chrono::milliseconds limite, bool *fechou) {
    const auto fim = std::chrono::steady_clock::now() + limite;
    QByteArray resposta;
    bool terminou = false;
    for (;;) {
        const auto resta =
            std::chrono::duration_cast<std::chrono::milliseconds>(fim - std::chrono::steady_clock::now());
        pollfd p{FSocket, POLLIN, 0};
        if (resta.count() <= 0 || ::poll(&p, 1, int(resta.count())) <= 0)
            break;
        char buffer[65536];
        const ssize_t n = ::recv(FSocket, buffer, sizeof buffer, 0);
        if (n <= 0) {
            terminou = true;
            break;
        }
        resposta.append(buffer, n);
    }
    if (fechou)
        *fechou = terminou;
    return resposta;
}

QByteArray ClienteBruto::trocar(int porta, const QByteArray &pedido) {
    ClienteBruto c(porta);
    if (!c.conectado())
        return QByteArray();
    c.enviar(pedido);
    return c.receberTudo(std::chrono::seconds(30));
}

QByteArray CorpoFormulario(const QList<QPair<QByteArray, QByteArray>> &campos) {
    QByteArray corpo;
    for (const auto &[nome, valor] : campos)
        corpo +=
            (corpo.isEmpty() ? "" : "&") + nome + '=' + QUrl::toPercentEncoding(QString::fromUtf8(valor));
    return corpo;
}

QByteArray PedidoPost(const QByteArray &rota, const QByteArray &corpo) {
    return "POST /services/index.php/scripts" + rota +
           " HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
           QByteArray::number(corpo.size()) + "\r\n\r\n" + corpo;
}

QJsonObject EnvelopeDe(const QByteArray &resposta) {
    const qsizetype fim = resposta.indexOf("\r\n\r\n");
    return fim < 0 ? QJsonObject() : QJsonDocument::fromJson(resposta.mid(fim + 4)).object();
}

QByteArray Entrar(int porta, const QByteArray &usuario, const QByteArray &senha) {
    const QByteArray md5 = Md5Senha(QString::fromUtf8(senha)).toUtf8();
    const QJsonObject o = EnvelopeDe(ClienteBruto::trocar(
        porta, PedidoPost("/login", CorpoFormulario({{"usuario", usuario}, {"senha", md5}}))));
    return o.value("chave").toString().toUtf8();
}

int Contar(int porta, const QByteArray &chave, const QByteArray &rota) {
    const QJsonObject o = EnvelopeDe(ClienteBruto::trocar(
        porta,
        PedidoPost(rota, CorpoFormulario({{"maximo", "1000000"}, {"contar", "true"}, {"chave", chave}}))));
    return o.value("success").toBool() ? o.value("registros").toInt(-1) : -1;
}
