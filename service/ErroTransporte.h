#pragma once

#include "base/Exception.h"

// A request that could not be sent or whose reply had a failure status. Callers report it
// differently from a reply that arrived but does not read (a JSON or date error).
class ErroTransporte : public Exception {
public:
    using Exception::Exception;
    QString className() const override { return QStringLiteral("ErroTransporte"); }
};
