#pragma once

#include "json/String.h"

// A String that counts the live instances, to show which values a container destroys.
class Tracked : public json::String {
public:
    explicit Tracked(const QString &s = QStringLiteral("tracked")) : String(s) { ++alive; }
    ~Tracked() override { --alive; }
    static inline int alive = 0;
};
