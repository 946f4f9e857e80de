#include "json/JSONTokener.h"

#include "json/Boolean.h"
#include "json/Double.h"
#include "json/Integer.h"
#include "json/Null.h"
#include "json/NumberText.h"
#include "json/String.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <algorithm>

namespace json {

namespace {

// Characters that end an unquoted word.
bool isWordStop(char16_t c) {
    switch (c) {
    case u',':
    case u':':
    case u']':
    case u'}':
    case u'/':
    case u'\\':
    case u'"':
    case u'[':
    case u'{':
    case u';':
    case u'=':
    case u'#':
        return true;
    default:
        return c < 32;
    }
}

QString trimmedControls(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin].unicode() <= 32)
        ++begin;
    while (end > begin && s[end - 1].unicode() <= 32)
        --end;
    return s.mid(begin, end - begin).toString();
}

// The keywords are ASCII without an "i", so an ASCII comparison is the locale's lower-case comparison.
bool isKeyword(QStringView word, const char *keyword) {
    qsizetype i = 0;
    for (; keyword[i]; ++i) {
        if (i >= word.size() || (word[i].unicode() | 0x20) != keyword[i])
            return false;
    }
    return i == word.size();
}

} // namespace

JSONTokener::JSONTokener(const QString &s)
    : mySource(s), myData(mySource.constData()), myLength(static_cast<int>(mySource.size())) {}

QChar JSONTokener::next() {
    if (!more())
        return QChar();
    return charAt(myIndex++);
}

QChar JSONTokener::next(QChar c) {
    const QChar n = next();
    if (n != c)
        throw syntaxError(QStringLiteral("Expected ") + c + QStringLiteral(" and instead saw ") + n +
                          QLatin1Char('.'));
    return n;
}

QString JSONTokener::next(int n) {
    if (n < 0 || myIndex - 1 + qint64(n) > myLength)
        throw syntaxError(QStringLiteral("Substring bounds error"));
    const QString result = mySource.mid(myIndex - 1, n);
    myIndex += n;
    return result;
}

void JSONTokener::back() {
    if (myIndex > 1)
        --myIndex;
}

void JSONTokener::skipLine() {
    for (;;) {
        const QChar c = next();
        if (c.isNull() || c == u'\n' || c == u'\r')
            return;
    }
}

QChar JSONTokener::nextClean() {
    for (;;) {
        const QChar c = next();
        const char16_t u = c.unicode();
        if (u == 0)
            return c;
        if (u <= 32)
            continue;
        if (u == u'#') {
            skipLine();
            continue;
        }
        if (u != u'/')
            return c;
        switch (next().unicode()) {
        case u'*':
            for (;;) {
                const QChar d = next();
                if (d.isNull())
                    throw syntaxError(QStringLiteral("Unclosed comment."));
                if (d == u'*') {
                    if (next() == u'/')
                        break;
                    back();
                }
            }
            break;
        case u'/':
            skipLine();
            break;
        default:
            back();
            return c;
        }
    }
}

QString JSONTokener::nextString(QChar quote) {
    const char16_t q = quote.unicode();
    QString result;
    for (;;) {
        // Copy the run of ordinary characters in one piece; this is the reader's hot path.
        const int start = myIndex;
        int i = start;
        while (i <= myLength) {
            const char16_t u = myData[i - 1].unicode();
            if (u == q || u == u'\\' || u == u'\n' || u == u'\r' || u == 0)
                break;
            ++i;
        }
        if (i > start) {
            if (result.isEmpty() && i <= myLength && myData[i - 1] == quote) {
                myIndex = i + 1;
                return QString(myData + start - 1, i - start);
            }
            result.append(myData + start - 1, i - start);
            myIndex = i;
        }
        const QChar c = next();
        switch (c.unicode()) {
        case 0:
        case u'\n':
        case u'\r':
            throw syntaxError(QStringLiteral("Unterminated string"));
        case u'\\': {
            const QChar e = next();
            switch (e.unicode()) {
            case u'b':
                result.append(QChar(8));
                break;
            case u't':
                result.append(QChar(9));
                break;
            case u'n':
                result.append(QChar(10));
                break;
            case u'f':
                result.append(QChar(12));
                break;
            case u'r':
                result.append(QChar(13));
                break;
            case u'u': {
                const QString digits = next(4);
                int code = 0;
                for (const QChar d : digits) {
                    const int v = NumberText::hexDigit(d);
                    if (v < 0)
                        throw ConvertError(QStringLiteral("'$%1' is not a valid integer value").arg(digits));
                    code = code * 16 + v;
                }
                result.append(QChar(char16_t(code)));
                break;
            }
            default:
                result.append(e);
            }
            break;
        }
        default: // the closing quote
            return result;
        }
    }
}

QString JSONTokener::nextTo(QChar d) {
    QString text;
    for (;;) {
        const QChar c = next();
        if (c == d || c.isNull() || c == u'\n' || c == u'\r') {
            if (!c.isNull())
                back();
            return trimmedControls(text);
        }
        text.append(c);
    }
}

QChar JSONTokener::nextTo(const QString &delimiters) {
    QString text;
    for (;;) {
        const QChar c = next();
        if (delimiters.contains(c) || c.isNull() || c == u'\n' || c == u'\r') {
            if (!c.isNull())
                back();
            const QString trimmed = trimmedControls(text);
            return trimmed.isEmpty() ? QChar() : trimmed.front();
        }
        text.append(c);
    }
}

OwnedValue JSONTokener::nextValue() {
    const QChar c = nextClean();
    switch (c.unicode()) {
    case u'"':
    case u'\'':
        return OwnedValue(new String(nextString(c)));
    case u'[':
        back();
        return OwnedValue(new TJSONArray(*this));
    case u'{':
        back();
        return OwnedValue(new TJSONObject(*this));
    default:
        return nextWord(c);
    }
}

OwnedValue JSONTokener::nextWord(QChar c) {
    const int start = myIndex - 1; // position of c
    while (!isWordStop(c.unicode()))
        c = next();
    back();
    const QString word = trimmedControls(QStringView(myData + start - 1, std::max(0, myIndex - start)));
    if (word.isEmpty())
        throw syntaxError(QStringLiteral("Missing value."));
    if (isKeyword(word, "true"))
        return OwnedValue(Boolean::True());
    if (isKeyword(word, "false"))
        return OwnedValue(Boolean::False());
    if (isKeyword(word, "null"))
        return OwnedValue(Null::instance());

    const QChar first = word.front();
    if ((first >= u'0' && first <= u'9') || first == u'+' || first == u'-' || first == u'.') {
        if (first == u'0') {
            try {
                if (word.size() >= 3 && (word[1] == u'x' || word[1] == u'X'))
                    return OwnedValue(new Integer(Integer::parseInt(word.mid(2), 16)));
                return OwnedValue(new Integer(Integer::parseInt(word, 8)));
            } catch (const ::Exception &) {
                // not hexadecimal nor a lone zero: try the decimal forms
            }
        }
        int i = 0;
        if (NumberText::tryToInt(word, i))
            return OwnedValue(new Integer(i));
        double d = 0;
        if (NumberText::tryToDouble(word, d))
            return OwnedValue(new Double(d));
    }
    return OwnedValue(new String(word));
}

QChar JSONTokener::skipTo(QChar _to) {
    const int start = myIndex;
    for (;;) {
        const QChar c = next();
        if (c.isNull()) {
            myIndex = start;
            return c;
        }
        if (c == _to) {
            back();
            return c;
        }
    }
}

void JSONTokener::skipPast(const QString &_to) {
    const qsizetype found = myIndex <= myLength + 1 ? mySource.indexOf(_to, myIndex - 1) : -1;
    if (found < 0)
        myIndex = myLength + 1;
    else
        myIndex = static_cast<int>(found + _to.size()) + 1;
}

ParseException JSONTokener::syntaxError(const QString &_message) const {
    const QString excerpt = myIndex <= myLength ? mySource.mid(myIndex - 1, 10) : QString();
    return ParseException(_message + QStringLiteral(" at character ") + QString::number(myIndex) +
                              QStringLiteral(" of ") + sourceAround() + QStringLiteral(" próximo a : ") +
                              excerpt,
                          myIndex);
}

QString JSONTokener::sourceAround() const {
    // A short text is quoted whole; of a long one (a reply of megabytes) only the part around the
    // position, so the message stays readable and small.
    if (mySource.size() <= MaxQuoted)
        return mySource;
    const qsizetype at = std::clamp<qsizetype>(myIndex - 1, 0, mySource.size());
    const qsizetype begin = std::max<qsizetype>(0, at - MaxQuoted / 2);
    const qsizetype end = std::min<qsizetype>(mySource.size(), begin + MaxQuoted);
    return (begin > 0 ? QStringLiteral("…") : QString()) + mySource.mid(begin, end - begin) +
           (end < mySource.size() ? QStringLiteral("…") : QString());
}

QString JSONTokener::toString() const {
    return QStringLiteral(" at character ") + QString::number(myIndex) + QStringLiteral(" of ") + mySource;
}

QString JSONTokener::className() const {
    return QStringLiteral("JSONTokener");
}

QString JSONTokener::unescape(const QString &s) {
    QString result;
    result.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        QChar c = s[i];
        if (c == u'+') {
            c = u' ';
        } else if (c == u'%' && i + 2 < s.size() && dehexchar(s[i + 1]) >= 0 && dehexchar(s[i + 2]) >= 0) {
            c = QChar(char16_t(dehexchar(s[i + 1]) * 16 + dehexchar(s[i + 2])));
            i += 2;
        }
        result.append(c);
    }
    return result;
}

int JSONTokener::dehexchar(QChar c) {
    return NumberText::hexDigit(c);
}

JSONTokener::NestingGuard::NestingGuard(JSONTokener &x) : m_x(x) {
    if (++m_x.myDepth > MaxDepth) {
        --m_x.myDepth;
        throw x.syntaxError(QStringLiteral("Nesting too deep (more than %1 levels)").arg(MaxDepth));
    }
}

} // namespace json
