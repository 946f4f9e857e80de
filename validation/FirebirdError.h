#pragma once

#include "base/Exception.h"

// An error status returned by the Firebird client library, as its message text.
class FirebirdError : public Exception {
public:
    explicit FirebirdError(const QString &message, bool fileMissing = false)
        : Exception(message), m_fileMissing(fileMissing) {}
    QString className() const override { return QStringLiteral("FirebirdError"); }
    // The database or file named does not exist.
    bool fileMissing() const { return m_fileMissing; }

private:
    bool m_fileMissing;
};
