#include "server/FluxoComPrazo.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

using std::chrono::milliseconds;

// Waits until the socket is ready for `eventos`; false on time-out or error.
bool esperar(socket_t fd, short eventos, milliseconds espera) {
    if (espera <= milliseconds::zero())
        return false;
    pollfd p{fd, eventos, 0};
    for (;;) {
        const int r = ::poll(&p, 1, int(std::min<milliseconds::rep>(espera.count(), 1 << 30)));
        if (r >= 0)
            return r > 0;
        if (errno != EINTR)
            return false;
    }
}

void endereco(const sockaddr_storage &addr, std::string &ip, int &port) {
    char texto[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET) {
        const auto &a = reinterpret_cast<const sockaddr_in &>(addr);
        ::inet_ntop(AF_INET, &a.sin_addr, texto, sizeof texto);
        port = ntohs(a.sin_port);
    } else if (addr.ss_family == AF_INET6) {
        const auto &a = reinterpret_cast<const sockaddr_in6 &>(addr);
        ::inet_ntop(AF_INET6, &a.sin6_addr, texto, sizeof texto);
        port = ntohs(a.sin6_port);
    }
    ip = texto;
}

} // namespace

FluxoComPrazo::FluxoComPrazo(socket_t fd, milliseconds leitura, milliseconds escrita)
    : FSocket(fd), FLeitura(leitura), FEscrita(escrita) {}

milliseconds FluxoComPrazo::esperaLeitura() const {
    const auto restante = std::chrono::ceil<milliseconds>(FPrazo - Relogio::now());
    return std::min(FLeitura, restante);
}

bool FluxoComPrazo::aguardarPedido(milliseconds espera) {
    return FInicio < FFim || esperar(FSocket, POLLIN, espera);
}

bool FluxoComPrazo::is_readable() const {
    return FInicio < FFim || esperar(FSocket, POLLIN, esperaLeitura());
}

bool FluxoComPrazo::is_writable() const {
    return esperar(FSocket, POLLOUT, FEscrita);
}

ssize_t FluxoComPrazo::read(char *ptr, size_t size) {
    if (FInicio == FFim) {
        if (!esperar(FSocket, POLLIN, esperaLeitura())) {
            FLeituraFalhou = true;
            return -1;
        }
        ssize_t n;
        do
            n = ::recv(FSocket, FBuffer.data(), FBuffer.size(), 0);
        while (n < 0 && errno == EINTR);
        if (n <= 0) {
            FLeituraFalhou = true;
            return n;
        }
        FInicio = 0;
        FFim = size_t(n);
    }
    const size_t n = std::min(size, FFim - FInicio);
    std::memcpy(ptr, FBuffer.data() + FInicio, n);
    FInicio += n;
    return ssize_t(n);
}

ssize_t FluxoComPrazo::write(const char *ptr, size_t size) {
    if (!is_writable())
        return -1;
    ssize_t n;
    do
        n = ::send(FSocket, ptr, size, MSG_NOSIGNAL);
    while (n < 0 && errno == EINTR);
    return n;
}

void FluxoComPrazo::get_remote_ip_and_port(std::string &ip, int &port) const {
    sockaddr_storage addr{};
    socklen_t tamanho = sizeof addr;
    if (::getpeername(FSocket, reinterpret_cast<sockaddr *>(&addr), &tamanho) == 0)
        endereco(addr, ip, port);
}

void FluxoComPrazo::get_local_ip_and_port(std::string &ip, int &port) const {
    sockaddr_storage addr{};
    socklen_t tamanho = sizeof addr;
    if (::getsockname(FSocket, reinterpret_cast<sockaddr *>(&addr), &tamanho) == 0)
        endereco(addr, ip, port);
}
