#pragma once

#include "base/Exception.h"

// A request aborted because the user pressed "Cancelar". Not a failure to report: callers catch
// it before ErroTransporte and leave everything as it was before the action.
class ErroCancelado : public Exception {
public:
    ErroCancelado() : Exception(QStringLiteral("Operação cancelada pelo usuário.")) {}
    QString className() const override { return QStringLiteral("ErroCancelado"); }
};
