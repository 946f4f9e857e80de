#pragma once

#include "base/Exception.h"

#include <QString>

#include <functional>

// Runs f and returns "ClassName: message" of the library exception it throws, or "" when none.
inline QString failure(const std::function<void()> &f) {
    try {
        f();
    } catch (const ::Exception &e) {
        return e.className() + QStringLiteral(": ") + e.message();
    }
    return QString();
}
