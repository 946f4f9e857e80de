#include "json/ValueConversions.h"

#include "json/Boolean.h"
#include "json/Null.h"
#include "json/Number.h"
#include "json/NumberText.h"
#include "json/String.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

namespace json {

bool ValueConversions::toBoolean(const TZAbstractObject *value, bool &result) {
    // By truth value, not by identity with the shared objects: a cloned Boolean is still a Boolean.
    if (const auto *b = dynamic_cast<const Boolean *>(value)) {
        result = b->value();
        return true;
    }
    if (const auto *s = dynamic_cast<const String *>(value)) {
        if (s->equalsIgnoreCase(QStringLiteral("false"))) {
            result = false;
            return true;
        }
        if (s->equalsIgnoreCase(QStringLiteral("true"))) {
            result = true;
            return true;
        }
    }
    return false;
}

bool ValueConversions::toDouble(const TZAbstractObject *value, double &result) {
    if (const auto *n = dynamic_cast<const Number *>(value)) {
        result = n->doubleValue();
        return true;
    }
    if (const auto *s = dynamic_cast<const String *>(value)) {
        result = NumberText::toDouble(s->value());
        return true;
    }
    return false;
}

bool ValueConversions::optBoolean(const TZAbstractObject *value, bool defaultValue) {
    bool result = defaultValue;
    return toBoolean(value, result) ? result : defaultValue;
}

double ValueConversions::optDouble(const TZAbstractObject *value, double defaultValue) {
    if (!value)
        return defaultValue;
    if (const auto *n = dynamic_cast<const Number *>(value))
        return n->doubleValue();
    double result = 0;
    return NumberText::tryToDouble(value->toString(), result) ? result : defaultValue;
}

int ValueConversions::optInt(const TZAbstractObject *value, int defaultValue) {
    if (!value || value == Null::instance())
        return defaultValue;
    if (const auto *n = dynamic_cast<const Number *>(value))
        return n->intValue();
    int result = 0;
    return NumberText::tryToInt(value->toString(), result) ? result : defaultValue;
}

QString ValueConversions::optString(const TZAbstractObject *value, const QString &defaultValue) {
    return value ? value->toString() : defaultValue;
}

TZAbstractObject *ValueConversions::copyOf(const TZAbstractObject *value) {
    if (!value)
        return nullptr;
    if (value->isShared())
        return const_cast<TZAbstractObject *>(value);
    if (const auto *o = dynamic_cast<const TJSONObject *>(value))
        return o->copy().release();
    if (const auto *a = dynamic_cast<const TJSONArray *>(value))
        return a->copy().release();
    return value->Clone().release();
}

} // namespace json
