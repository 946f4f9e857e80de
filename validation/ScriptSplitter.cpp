#include "validation/ScriptSplitter.h"

#include <array>

namespace {

bool isLineBreak(char16_t c) {
    return c == u'\n' || c == u'\r';
}
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

bool isAbbreviationOfTerminator(QStringView word) {
    return word.size() >= 4 && QStringView(u"TERMINATOR").startsWith(word, Qt::CaseInsensitive);
}

} // namespace

ScriptSplitter::ScriptSplitter(const QString &text) : m_text(text) {
    setTerminator(QStringLiteral(";"));
}

QStringList ScriptSplitter::split(const QString &text) {
    ScriptSplitter splitter(text);
    QStringList statements;
    QStringView statement;
    while (splitter.next(statement))
        statements.append(statement.toString());
    return statements;
}

bool ScriptSplitter::next(QStringView &statement) {
    while (m_pos < m_text.size()) {
        qsizetype start = 0;
        qsizetype end = 0;
        scanCommand(start, end);
        if (isBlank(start, end) || applySetTerm(start, end))
            continue;
        statement = QStringView(m_text).mid(start, end - start);
        m_statementStart = start;
        m_statementEnd = end;
        return true;
    }
    return false;
}

qsizetype ScriptSplitter::firstTokenStart() const {
    return skipBlanksAndComments(m_statementStart, m_statementEnd);
}

void ScriptSplitter::setTerminator(const QString &terminator) {
    m_terminator = terminator.toUpper();
    m_terminatorFirst = m_terminator.at(0).unicode();
    m_wordTerminator = true;
    for (QChar c : m_terminator)
        m_wordTerminator = m_wordTerminator && (c.isLetterOrNumber() || c == u'_');
}

void ScriptSplitter::scanCommand(qsizetype &start, qsizetype &end) {
    const QChar *s = m_text.constData();
    const qsizetype n = m_text.size();
    const bool slashEnds = m_terminator == u";" || m_terminator == u"/";
    const bool semicolon = m_terminator == u";";
    enum { Unknown, Yes, No } programUnit = Unknown;
    int depth = 0;
    start = m_pos;
    qsizetype i = m_pos;
    while (i < n) {
        const char16_t c = s[i].unicode();
        switch (c) {
        case u'\'':
        case u'"':
            i = skipQuoted(i);
            continue;
        case u'-':
            if (i + 1 < n && s[i + 1] == u'-') {
                i = skipLineComment(i + 2);
                continue;
            }
            break;
        case u'/':
            if (i + 1 < n && s[i + 1] == u'*') {
                i = skipBlockComment(i + 2);
                continue;
            }
            if (slashEnds && depth == 0 && atLineStart(i)) {
                end = i;
                m_pos = i + 1;
                return;
            }
            break;
        case u'(':
            ++depth;
            ++i;
            continue;
        case u')':
            --depth;
            ++i;
            continue;
        default:
            break;
        }
        if (depth == 0 && terminatorAt(i)) {
            if (semicolon) {
                if (programUnit == Unknown)
                    programUnit = isProgramUnit(start, i) ? Yes : No;
                if (programUnit == Yes) {
                    ++i;
                    continue;
                }
            }
            end = i;
            m_pos = i + m_terminator.size();
            return;
        }
        ++i;
    }
    end = n;
    m_pos = n;
}

bool ScriptSplitter::terminatorAt(qsizetype i) const {
    const QChar c = m_text.at(i);
    if (c.unicode() != m_terminatorFirst && c.toUpper().unicode() != m_terminatorFirst)
        return false;
    const qsizetype length = m_terminator.size();
    if (length == 1 && !m_wordTerminator)
        return true;
    if (QStringView(m_text).mid(i, length).compare(m_terminator, Qt::CaseInsensitive) != 0)
        return false;
    if (!m_wordTerminator)
        return true;
    // A word counts only as a whole line-leading word, or it would cut identifiers apart.
    const qsizetype after = i + length;
    if (!atLineStart(i))
        return false;
    if (after == m_text.size())
        return true;
    const char16_t next = m_text.at(after).unicode();
    return next == u' ' || next == u'\t' || isLineBreak(next);
}

bool ScriptSplitter::isProgramUnit(qsizetype start, qsizetype limit) const {
    static const std::array<QStringView, 6> units = {u"PROCEDURE", u"FUNCTION", u"PACKAGE",
                                                     u"TYPE",      u"TRIGGER",  u"VARIABLE"};
    qsizetype i = start;
    const auto is = [](QStringView word, QStringView keyword) {
        return word.compare(keyword, Qt::CaseInsensitive) == 0;
    };
    const QStringView first = wordAt(i, limit);
    if (is(first, u"EXECUTE"))
        return is(wordAt(i, limit), u"BLOCK");
    if (!is(first, u"CREATE") && !is(first, u"RECREATE"))
        return false;
    QStringView word = wordAt(i, limit);
    if (is(word, u"OR")) {
        word = wordAt(i, limit);
        if (!is(word, u"ALTER") && !is(word, u"REPLACE"))
            return false;
        word = wordAt(i, limit);
    }
    for (QStringView unit : units)
        if (is(word, unit))
            return true;
    return false;
}

bool ScriptSplitter::isBlank(qsizetype start, qsizetype end) const {
    return skipBlanksAndComments(start, end) >= end;
}

bool ScriptSplitter::applySetTerm(qsizetype start, qsizetype end) {
    qsizetype i = start;
    if (wordAt(i, end).compare(u"SET", Qt::CaseInsensitive) != 0)
        return false;
    if (!isAbbreviationOfTerminator(wordAt(i, end)))
        return false;
    const QStringView rest = QStringView(m_text).mid(i, end - i).trimmed();
    qsizetype tokenLength = 0;
    while (tokenLength < rest.size() && !rest.at(tokenLength).isSpace())
        ++tokenLength;
    if (tokenLength == 0)
        return false; // no token: the database gets it and says what is wrong
    setTerminator(rest.left(tokenLength).toString());
    return true;
}

qsizetype ScriptSplitter::skipQuoted(qsizetype i) const {
    const QChar quote = m_text.at(i);
    const qsizetype n = m_text.size();
    for (++i; i < n; ++i) {
        if (m_text.at(i) != quote)
            continue;
        if (i + 1 < n && m_text.at(i + 1) == quote) {
            ++i; // doubled quote: part of the text
            continue;
        }
        return i + 1;
    }
    return n;
}

qsizetype ScriptSplitter::skipLineComment(qsizetype i) const {
    const qsizetype n = m_text.size();
    while (i < n && !isLineBreak(m_text.at(i).unicode()))
        ++i;
    return i;
}

qsizetype ScriptSplitter::skipBlockComment(qsizetype i) const {
    const qsizetype close = m_text.indexOf(QLatin1StringView("*/"), i);
    return close < 0 ? m_text.size() : close + 2;
}

qsizetype ScriptSplitter::skipBlanksAndComments(qsizetype i, qsizetype end) const {
    while (i < end) {
        const QChar c = m_text.at(i);
        if (c.isSpace())
            ++i;
        else if (c == u'-' && i + 1 < end && m_text.at(i + 1) == u'-')
            i = skipLineComment(i + 2);
        else if (c == u'/' && i + 1 < end && m_text.at(i + 1) == u'*')
            i = skipBlockComment(i + 2);
        else
            break;
    }
    return i;
}

QStringView ScriptSplitter::wordAt(qsizetype &i, qsizetype end) const {
    i = skipBlanksAndComments(i, end);
    const qsizetype start = i;
    while (i < end && isWordChar(m_text.at(i)))
        ++i;
    return QStringView(m_text).mid(start, i - start);
}

bool ScriptSplitter::atLineStart(qsizetype i) const {
    return i == 0 || isLineBreak(m_text.at(i - 1).unicode());
}
