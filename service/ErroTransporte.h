#pragma once

#include "base/Exception.h"

// A request that could not be sent or whose reply had a failure status. Callers report it
// differently from a reply that arrived but does not read (a JSON or date error).
class ErroTransporte : public Exception {
public:
    explicit ErroTransporte(const QString &message, bool pedidoEnviado = false)
        : Exception(message), m_pedidoEnviado(pedidoEnviado) {}
    QString className() const override { return QStringLiteral("ErroTransporte"); }

    // True when the whole request (headers and body) had been handed to the network and no
    // answer was read: the connection broke, stalled or outlived its deadline while the service
    // had the request. The service may then have carried it out ("pode ter sido gravado"). False
    // when the request never left whole (no connection, stopped while sending) and when the
    // service answered with a failure status.
    bool pedidoEnviado() const { return m_pedidoEnviado; }

private:
    bool m_pedidoEnviado;
};
