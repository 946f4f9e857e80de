#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Divides a prepared script into the statements sent to the database, one at a time, in the
// manner of an interactive SQL tool: strings, quoted names and both comment kinds are skipped,
// a terminator counts only at parenthesis depth 0, a "/" at the start of a line also ends a
// command, program units (procedures, triggers, EXECUTE BLOCK, ...) are not ended by ";", and
// "SET TERM" changes the terminator. Blank and comment-only commands are skipped.
class ScriptSplitter {
public:
    explicit ScriptSplitter(const QString &text);

    // The next statement, exactly as it stands in the text and without its terminator; the
    // view stays valid as long as the splitter. False when the text is exhausted.
    bool next(QStringView &statement);
    // Where the last statement given by next() begins in the text (right after the previous
    // terminator, leading blanks and comments included), and where its first token begins.
    qsizetype statementStart() const { return m_statementStart; }
    qsizetype firstTokenStart() const;
    // The terminator now in force (";" at the start), upper-cased.
    const QString &terminator() const { return m_terminator; }

    static QStringList split(const QString &text);

private:
    void scanCommand(qsizetype &start, qsizetype &end);
    bool terminatorAt(qsizetype i) const;
    bool isProgramUnit(qsizetype start, qsizetype limit) const;
    bool isBlank(qsizetype start, qsizetype end) const;
    bool applySetTerm(qsizetype start, qsizetype end);
    void setTerminator(const QString &terminator);

    qsizetype skipQuoted(qsizetype i) const;
    qsizetype skipLineComment(qsizetype i) const;
    qsizetype skipBlockComment(qsizetype i) const;
    qsizetype skipBlanksAndComments(qsizetype i, qsizetype end) const;
    QStringView wordAt(qsizetype &i, qsizetype end) const;
    bool atLineStart(qsizetype i) const;

    QString m_text;
    qsizetype m_pos = 0;
    qsizetype m_statementStart = 0;
    qsizetype m_statementEnd = 0;
    QString m_terminator;
    char16_t m_terminatorFirst = u';'; // upper-cased first character, for the fast path
    bool m_wordTerminator = false;     // letters, digits and underscores only
};
