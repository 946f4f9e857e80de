#pragma once

#include <httplib.h>

#include <array>
#include <chrono>

// A connection's socket as the HTTP library reads and writes it, with two limits on reading:
// each read waits at most the read time-out, and the bytes of a whole request must arrive before
// its deadline, so a client that trickles its headers or body cannot hold a request open.
class FluxoComPrazo : public httplib::Stream {
public:
    using Relogio = std::chrono::steady_clock;

    FluxoComPrazo(socket_t fd, std::chrono::milliseconds leitura, std::chrono::milliseconds escrita);

    // Waits up to `espera` for the first bytes of the next request; false when none came.
    bool aguardarPedido(std::chrono::milliseconds espera);
    // Every read from now on ends at `prazo`.
    void iniciarPedido(Relogio::time_point prazo) { FPrazo = prazo; }
    // Whether a read has met its time-out, the deadline, the end of the stream or an error: what
    // is left of the connection can no longer be read as requests.
    bool leituraFalhou() const { return FLeituraFalhou; }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char *ptr, size_t size) override;
    ssize_t write(const char *ptr, size_t size) override;
    void get_remote_ip_and_port(std::string &ip, int &port) const override;
    void get_local_ip_and_port(std::string &ip, int &port) const override;
    socket_t socket() const override { return FSocket; }

private:
    // The wait allowed for the next read: the read time-out, cut at the request's deadline.
    std::chrono::milliseconds esperaLeitura() const;

    socket_t FSocket;
    std::chrono::milliseconds FLeitura;
    std::chrono::milliseconds FEscrita;
    Relogio::time_point FPrazo = Relogio::time_point::max();
    std::array<char, 16384> FBuffer{};
    size_t FInicio = 0; // unread bytes of FBuffer: [FInicio, FFim)
    size_t FFim = 0;
    bool FLeituraFalhou = false;
};
