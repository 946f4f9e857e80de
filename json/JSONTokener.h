#pragma once

#include "json/Exceptions.h"
#include "json/OwnedValue.h"
#include "json/TZAbstractObject.h"

namespace json {

// Reads JSON text one character at a time. Positions count from 1; position L + 1 (just past
// the text) still reads as the null character, which doubles as the end-of-text mark.
class JSONTokener : public TZAbstractObject {
public:
    // Containers nested deeper than this fail with a ParseException instead of exhausting the stack.
    static constexpr int MaxDepth = 512;

    explicit JSONTokener(const QString &s);

    bool more() const { return myIndex <= myLength + 1; }
    QChar next();
    // Reads one character and fails unless it is c.
    QChar next(QChar c);
    // Without these, a character literal would pick next(int) through integral promotion.
    QChar next(char16_t c) { return next(QChar(c)); }
    QChar next(char c) { return next(QChar(QLatin1Char(c))); }
    // The next n characters; "Substring bounds error" when fewer remain.
    QString next(int n);
    void back();
    // The next character that is neither a blank (codes 1 to 32) nor inside a comment.
    QChar nextClean();
    // The rest of a string whose opening quote has been read, closing quote consumed.
    QString nextString(QChar quote);
    // Up to (not including) d, a line break or the end, trimmed.
    QString nextTo(QChar d);
    // Up to any character of delimiters; the first character of the trimmed text, or null.
    QChar nextTo(const QString &delimiters);
    // One value of any kind, owned by the caller.
    OwnedValue nextValue();
    // Positions on the next _to and returns it; at the end, stays put and returns null.
    QChar skipTo(QChar _to);
    // Moves past the next occurrence of _to, or to L + 1.
    void skipPast(const QString &_to);

    // The message quotes the whole text when it is at most MaxQuoted characters long, otherwise
    // MaxQuoted characters around the position, marked "…" where cut.
    ParseException syntaxError(const QString &_message) const;
    static constexpr qsizetype MaxQuoted = 200;
    // " at character " + position + " of " + the whole text.
    QString toString() const override;
    QString className() const override;

    // Form decoding: "+" gives a blank, "%" and two hexadecimal digits give that code.
    static QString unescape(const QString &s);
    static int dehexchar(QChar c);

    int index() const { return myIndex; }
    const QString &source() const { return mySource; }

    // Counts the containers being read; the guard fails once MaxDepth is passed.
    class NestingGuard {
    public:
        explicit NestingGuard(JSONTokener &x);
        ~NestingGuard() { --m_x.myDepth; }
        NestingGuard(const NestingGuard &) = delete;
        NestingGuard &operator=(const NestingGuard &) = delete;

    private:
        JSONTokener &m_x;
    };

private:
    QString sourceAround() const;
    QChar charAt(int index) const { return index <= myLength ? myData[index - 1] : QChar(); }
    void skipLine();
    OwnedValue nextWord(QChar c);

    int myIndex = 1;
    QString mySource;
    const QChar *myData;
    int myLength;
    int myDepth = 0;
};

} // namespace json
