#pragma once

#include "server/ContextoServidor.h"

#include <QString>

#include <memory>

namespace httplib {
class Server;
}

// The HTTP side of the service: routes every endpoint to its handler, reads POST bodies itself
// (with its own size limit, so a large script is not refused as a long form), and writes one log
// line per request on standard error.
class ServidorHttp {
public:
    ServidorHttp(ContextoServidor &contexto, qsizetype limiteCorpo);
    ~ServidorHttp();

    // Binds the address; port 0 picks a free one. Returns the port, throws Exception on failure.
    int ligar(const QString &endereco, int porta);
    // Serves until parar() is called.
    void atender();
    void parar();

private:
    ContextoServidor &FContexto;
    qsizetype FLimiteCorpo;
    std::unique_ptr<httplib::Server> FServidor;
};
