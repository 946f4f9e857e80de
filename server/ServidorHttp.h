#pragma once

#include "server/ContextoServidor.h"

#include <QString>

#include <memory>

class ServidorComPrazo;

// How long and how much one client may take.
struct LimitesServidor {
    qsizetype corpo = 16 * 1024 * 1024; // bytes of a POST body
    int leituraSegundos = 5;            // the longest wait for the next bytes of a request
    int pedidoSegundos = 30;            // a whole request, headers and body
    int conexoes = 1000;                // open connections; a new one past this is closed at once
};

// The HTTP side of the service: routes every endpoint to its handler, reads POST bodies itself
// (with its own size limit, so a large script is not refused as a long form), and writes one log
// line per request on standard error. Every connection has a thread of its own, so idle or slow
// clients hold only theirs; a body that arrives incomplete or late is refused before any handler
// sees it.
class ServidorHttp {
public:
    ServidorHttp(ContextoServidor &contexto, const LimitesServidor &limites);
    ~ServidorHttp();

    // Binds the address; port 0 picks a free one. Returns the port, throws Exception on failure.
    int ligar(const QString &endereco, int porta);
    // Serves until parar() is called.
    void atender();
    void parar();

private:
    ContextoServidor &FContexto;
    LimitesServidor FLimites;
    std::unique_ptr<ServidorComPrazo> FServidor;
};
