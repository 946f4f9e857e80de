#pragma once

#include <QString>

namespace json {

class TZAbstractObject;
class TJSONArray;
class TJSONObject;

// Turns values into JSON text: a compact form without blanks and an indented form. Strings
// are written as pure ASCII; a Double is written as a string with two decimals.
class JSONWriter {
public:
    static QString quote(const QString &s);
    static QString valueToString(const TZAbstractObject *value);
    static QString valueToString(const TZAbstractObject *value, int indentFactor, int indent);
    static QString objectToString(const TJSONObject &object);
    static QString objectToString(const TJSONObject &object, int indentFactor, int indent);
    static QString arrayToString(const TJSONArray &array, int indentFactor, int indent);
    static QString join(const TJSONArray &array, const QString &separator);

private:
    static void appendQuoted(QString &out, const QString &s);
};

} // namespace json
