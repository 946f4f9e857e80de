#include "json/JSONWriter.h"

#include "json/Boolean.h"
#include "json/Integer.h"
#include "json/Null.h"
#include "json/Number.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <algorithm>

namespace json {

namespace {

bool isSafe(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
        return true;
    switch (c) {
    case u'!':
    case u'$':
    case u'\'':
    case u'(':
    case u')':
    case u'*':
    case u'-':
    case u'.':
    case u'@':
    case u'_':
        return true;
    default:
        return false;
    }
}

QString blanks(int count) {
    return QString(std::max(0, count), u' ');
}

} // namespace

QString JSONWriter::quote(const QString &s) {
    QString out;
    appendQuoted(out, s);
    return out;
}

void JSONWriter::appendQuoted(QString &out, const QString &s) {
    if (s.isEmpty()) {
        out += QLatin1String("\"\"");
        return;
    }
    out.reserve(out.size() + s.size() + 2);
    out += u'"';
    QChar before;
    for (const QChar c : s) {
        switch (c.unicode()) {
        case 8:
            out += QLatin1String("\\b");
            break;
        case 9:
            out += QLatin1String("\\t");
            break;
        case 10:
            out += QLatin1String("\\n");
            break;
        case 12:
            out += QLatin1String("\\f");
            break;
        case 13:
            out += QLatin1String("\\r");
            break;
        case u'"':
            out += QLatin1String("\\\"");
            break;
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'/':
            // Keeps "</" out of the text, so it can sit inside an HTML script element.
            out += before == u'<' ? QLatin1String("\\/") : QLatin1String("/");
            break;
        default:
            if (isSafe(c.unicode())) {
                out += c;
            } else {
                out += QLatin1String("\\u");
                out += (QLatin1String("000") + Integer::toHexString(c)).right(4);
            }
        }
        before = c;
    }
    out += u'"';
}

QString JSONWriter::valueToString(const TZAbstractObject *value) {
    if (!value || value == Null::instance())
        return QStringLiteral("null");
    if (const auto *n = dynamic_cast<const Number *>(value))
        return TJSONObject::numberToString(n);
    if (dynamic_cast<const Boolean *>(value) || dynamic_cast<const TJSONObject *>(value) ||
        dynamic_cast<const TJSONArray *>(value))
        return value->toString();
    return quote(value->toString());
}

QString JSONWriter::valueToString(const TZAbstractObject *value, int indentFactor, int indent) {
    if (const auto *o = dynamic_cast<const TJSONObject *>(value))
        return o->toString(indentFactor, indent);
    if (const auto *a = dynamic_cast<const TJSONArray *>(value))
        return a->toString(indentFactor, indent);
    return valueToString(value);
}

QString JSONWriter::objectToString(const TJSONObject &object) {
    QString out = QStringLiteral("{");
    bool first = true;
    // Each key is looked up again, so a repeated key writes its first entry's value each time.
    for (const QString &key : object.keys()) {
        if (!first)
            out += u',';
        first = false;
        appendQuoted(out, key);
        out += u':';
        out += valueToString(object.find(key));
    }
    out += u'}';
    return out;
}

QString JSONWriter::objectToString(const TJSONObject &object, int indentFactor, int indent) {
    const QStringList keys = object.keys();
    if (keys.isEmpty())
        return QStringLiteral("{}");
    QString out = QStringLiteral("{");
    if (keys.size() == 1) {
        appendQuoted(out, keys.front());
        out += QLatin1String(": ");
        out += valueToString(object.find(keys.front()), indentFactor, indent);
        out += u'}';
        return out;
    }
    const int inner = indent + indentFactor;
    bool first = true;
    for (const QString &key : keys) {
        out += first ? QLatin1String("\n") : QLatin1String(",\n");
        first = false;
        out += blanks(inner);
        appendQuoted(out, key);
        out += QLatin1String(": ");
        out += valueToString(object.find(key), indentFactor, inner);
    }
    out += u'\n';
    out += blanks(indent);
    out += u'}';
    return out;
}

QString JSONWriter::arrayToString(const TJSONArray &array, int indentFactor, int indent) {
    const int n = array.length();
    if (n == 0)
        return QStringLiteral("[]");
    if (n == 1)
        return QLatin1Char('[') + valueToString(array.opt(0), indentFactor, indent) + QLatin1Char(']');
    const int inner = indent + indentFactor;
    QString out = QStringLiteral("[\n");
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            out += QLatin1String(",\n");
        out += blanks(inner);
        out += valueToString(array.opt(i), indentFactor, inner);
    }
    out += u'\n';
    out += blanks(indent);
    out += u']';
    return out;
}

QString JSONWriter::join(const TJSONArray &array, const QString &separator) {
    QString out;
    for (int i = 0; i < array.length(); ++i) {
        if (i > 0)
            out += separator;
        out += valueToString(array.opt(i));
    }
    return out;
}

} // namespace json
