#include "tests/support/RecordingHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

RecordingHttpServer::RecordingHttpServer(Responder resposta, std::chrono::milliseconds atraso)
    : m_resposta(std::move(resposta)), m_atraso(atraso) {
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int um = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &um, sizeof um);
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    endereco.sin_port = 0;
    if (::bind(m_listener, reinterpret_cast<sockaddr *>(&endereco), sizeof endereco) != 0 ||
        ::listen(m_listener, 8) != 0)
        throw std::runtime_error("RecordingHttpServer: cannot listen on loopback");
    socklen_t tamanho = sizeof endereco;
    ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&endereco), &tamanho);
    m_port = ntohs(endereco.sin_port);
    m_thread = std::thread([this] { serve(); });
}

RecordingHttpServer::~RecordingHttpServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

QByteArray RecordingHttpServer::rootUrl() const {
    return "http://127.0.0.1:" + QByteArray::number(m_port);
}

QList<RecordingHttpServer::Request> RecordingHttpServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void RecordingHttpServer::serve() {
    while (!m_stop) {
        pollfd espera{m_listener, POLLIN, 0};
        if (::poll(&espera, 1, 20) <= 0)
            continue;
        const int cliente = ::accept(m_listener, nullptr, nullptr);
        if (cliente < 0)
            continue;
        answer(cliente);
        ::close(cliente);
    }
}

void RecordingHttpServer::answer(int client) {
    Request pedido;
    QByteArray lido;
    char bloco[4096];
    qsizetype fimCabecalho = -1;
    qsizetype tamanho = 0;
    while (!m_stop) {
        pollfd espera{client, POLLIN, 0};
        if (::poll(&espera, 1, 20) <= 0)
            continue;
        const ssize_t n = ::recv(client, bloco, sizeof bloco, 0);
        if (n <= 0)
            return;
        lido.append(bloco, n);
        if (fimCabecalho < 0 && (fimCabecalho = lido.indexOf("\r\n\r\n")) >= 0) {
            pedido.head = lido.left(fimCabecalho);
            for (const QByteArray &linha : pedido.head.split('\n'))
                if (linha.toLower().startsWith("content-length:"))
                    tamanho = linha.mid(15).trimmed().toLongLong();
        }
        if (fimCabecalho >= 0 && lido.size() >= fimCabecalho + 4 + tamanho)
            break;
    }
    if (m_stop)
        return;
    pedido.body = lido.mid(fimCabecalho + 4, tamanho);
    {
        std::lock_guard lock(m_mutex);
        m_requests.append(pedido);
    }
    // A connection that waits in the backlog while this one is answered means two requests
    // were in flight at once.
    const auto fim = std::chrono::steady_clock::now() + m_atraso;
    while (std::chrono::steady_clock::now() < fim) {
        pollfd outro{m_listener, POLLIN, 0};
        if (::poll(&outro, 1, 5) > 0)
            m_overlapped = true;
    }
    const QByteArray corpo = m_resposta(pedido);
    const QByteArray resposta =
        "HTTP/1.0 200 OK\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: " +
        QByteArray::number(corpo.size()) + "\r\nConnection: close\r\n\r\n" + corpo;
    ::send(client, resposta.constData(), size_t(resposta.size()), MSG_NOSIGNAL);
}
