#pragma once

#include "base/Exception.h"

// A request the service refuses: its message goes back as the envelope's "message".
class ErroEntrada : public Exception {
public:
    using Exception::Exception;
    QString className() const override { return QStringLiteral("ErroEntrada"); }
};
