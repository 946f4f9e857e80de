#pragma once

#include "base/Exception.h"

// A reply that arrived but whose content does not read (for example a date in no known form).
class ErroLeitura : public Exception {
public:
    using Exception::Exception;
    QString className() const override { return QStringLiteral("ErroLeitura"); }
};
