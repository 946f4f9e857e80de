#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A service that never answers: a loopback port that listens but never accepts, so a client's
// connection completes (the kernel's backlog takes it) and its request waits for a reply that
// does not come. BRISEL_SERVICE_URL points at it while it lives, then goes back to what it was.
class ServicoMudo {
public:
    ServicoMudo() : m_anterior(qgetenv("BRISEL_SERVICE_URL")) {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in endereco{};
        endereco.sin_family = AF_INET;
        endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t tamanho = sizeof endereco;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&endereco), tamanho) != 0 ||
            ::listen(m_socket, 16) != 0 ||
            ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&endereco), &tamanho) != 0)
            qFatal("silent service: no loopback port");
        qputenv("BRISEL_SERVICE_URL", "http://127.0.0.1:" + QByteArray::number(ntohs(endereco.sin_port)));
    }
    ~ServicoMudo() {
        ::close(m_socket);
        qputenv("BRISEL_SERVICE_URL", m_anterior);
    }
    ServicoMudo(const ServicoMudo &) = delete;
    ServicoMudo &operator=(const ServicoMudo &) = delete;

private:
    int m_socket = -1;
    QByteArray m_anterior;
};
