#pragma once

#include "base/Exception.h"

// A request aborted because the user pressed "Cancelar". Not a failure to report: callers catch
// it before ErroTransporte and leave everything as it was before the action.
class ErroCancelado : public Exception {
public:
    // `pedidoEnviado`: see ErroTransporte::pedidoEnviado.
    explicit ErroCancelado(bool pedidoEnviado = false)
        : Exception(QStringLiteral("Operação cancelada pelo usuário.")), m_pedidoEnviado(pedidoEnviado) {}
    QString className() const override { return QStringLiteral("ErroCancelado"); }

    // True when the whole request had left the program before the stop: the service may have
    // carried it out, so a change it asked for may be stored although no answer came.
    bool pedidoEnviado() const { return m_pedidoEnviado; }

private:
    bool m_pedidoEnviado;
};
