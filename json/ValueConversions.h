#pragma once

#include <QString>

namespace json {

class TZAbstractObject;

// How the typed getters of both containers read a value, by its kind.
class ValueConversions {
public:
    // Boolean recognition: a Boolean gives its value, a String "true"/"false" in any case gives
    // that value; anything else is not recognised (false returned).
    static bool toBoolean(const TZAbstractObject *value, bool &result);
    // A number gives its value, a String its decimal-point conversion (ConvertError when that
    // fails); any other kind is not a number (false returned).
    static bool toDouble(const TZAbstractObject *value, double &result);

    static bool optBoolean(const TZAbstractObject *value, bool defaultValue);
    static double optDouble(const TZAbstractObject *value, double defaultValue);
    static int optInt(const TZAbstractObject *value, int defaultValue);
    static QString optString(const TZAbstractObject *value, const QString &defaultValue);

    // The value itself for a shared value, otherwise a deep copy in which every value keeps its kind.
    static TZAbstractObject *copyOf(const TZAbstractObject *value);
};

} // namespace json
