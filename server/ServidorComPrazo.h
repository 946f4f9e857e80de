#pragma once

#include <httplib.h>

#include <chrono>

// The HTTP library's server with its connections served differently: each connection runs on a
// thread of its own (idle and slow clients hold only theirs, never a shared worker), a whole
// request must arrive before a deadline, and past a number of open connections a new one is
// closed at once.
class ServidorComPrazo : public httplib::Server {
public:
    ServidorComPrazo(std::chrono::milliseconds leitura, std::chrono::milliseconds pedido, int maximoConexoes);

    // Binds the address (port 0 picks a free one) with a long queue of connections waiting to be
    // accepted; returns the port, or -1.
    int ligar(const std::string &endereco, int porta);

    // Called from a handler: the connection closes once its answer is written, the rest of the
    // request left unread (a refused body).
    static void encerrarAposResposta();

private:
    bool process_and_close_socket(socket_t sock) override;

    std::chrono::milliseconds FLeitura;
    std::chrono::milliseconds FPedido;
};
