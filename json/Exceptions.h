#pragma once

#include "base/Exception.h"

// The library's error classes: each only adds its name to the program's general error.
namespace json {

#define BRISEL_JSON_EXCEPTION(Name)                                                                          \
    class Name : public ::Exception {                                                                        \
    public:                                                                                                  \
        using ::Exception::Exception;                                                                        \
        QString className() const override { return QStringLiteral(#Name); }                                 \
    };

// A key or position without a value, or a value of another container kind.
BRISEL_JSON_EXCEPTION(NoSuchElementException)
// A value that is not a Boolean where one is asked for.
BRISEL_JSON_EXCEPTION(ClassCastException)
// A value that is neither a number nor a text where a number is asked for.
BRISEL_JSON_EXCEPTION(NumberFormatException)
// An empty key, or no value where one is required.
BRISEL_JSON_EXCEPTION(NullPointerException)
// An operation the library leaves out (root Clone, octal integers).
BRISEL_JSON_EXCEPTION(NotImplmentedFeature)
// A text the integer or decimal-point conversion rejects.
BRISEL_JSON_EXCEPTION(ConvertError)

#undef BRISEL_JSON_EXCEPTION

// A syntax error of the reader. The position exists only in the message text, which ends with
// a line feed, a carriage return and " erro no caracter : " followed by the position.
class ParseException : public ::Exception {
public:
    ParseException(const QString &message, int index);
    QString className() const override { return QStringLiteral("ParseException"); }
};

} // namespace json
