#pragma once

#include "base/Exception.h"

// An error status returned by the Firebird client library, as its message text.
class FirebirdError : public Exception {
public:
    using Exception::Exception;
    QString className() const override { return QStringLiteral("FirebirdError"); }
};
