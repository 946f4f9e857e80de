#include "validation/ScriptPreparation.h"

#include <cstring>

namespace {

// The line separators of every kind, which a one-line comment never crosses.
bool isLineSeparator(char16_t c) {
    switch (c) {
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

// Not valid UTF-16: no comment is matched across it.
bool isLoneSurrogate(const QChar *s, qsizetype i, qsizetype n) {
    if (s[i].isHighSurrogate())
        return i + 1 == n || !s[i + 1].isLowSurrogate();
    if (s[i].isLowSurrogate())
        return i == 0 || !s[i - 1].isHighSurrogate();
    return false;
}

// QChar::toCaseFolded, without its table for the plain ASCII that scripts are mostly made of.
char32_t folded(char16_t c) {
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
    return QChar::toCaseFolded(char32_t(c));
}

// Appends text to an output buffer that never outgrows its input.
class Output {
public:
    explicit Output(QChar *data) : m_data(data) {}
    void append(const QChar *from, qsizetype count) {
        std::memmove(m_data + m_size, from, size_t(count) * sizeof(QChar));
        m_size += count;
    }
    qsizetype size() const { return m_size; }

private:
    QChar *m_data;
    qsizetype m_size = 0;
};

} // namespace

namespace ScriptPreparation {

QString removeOneLineComments(const QString &text, Removals *removals) {
    const qsizetype n = text.size();
    const QChar *s = text.constData();
    QString result(n, Qt::Uninitialized);
    Output out(result.data());
    // One line (or stretch between separators) at a time: its first "/*" and its last "*/",
    // which must begin after that "/*" has ended.
    qsizetype lineStart = 0;
    qsizetype open = -1;
    qsizetype close = -1;
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && !isLineSeparator(s[i].unicode()) && !isLoneSurrogate(s, i, n)) {
            if (s[i] == u'/' && open < 0 && i + 1 < n && s[i + 1] == u'*')
                open = i;
            else if (s[i] == u'*' && i + 1 < n && s[i + 1] == u'/')
                close = i;
            continue;
        }
        const qsizetype end = i < n ? i + 1 : n; // the separator stays
        if (open >= 0 && close >= open + 2) {
            out.append(s + lineStart, open - lineStart);
            if (removals)
                removals->removedBefore(out.size(), close + 2);
            out.append(s + close + 2, end - (close + 2));
        } else {
            out.append(s + lineStart, end - lineStart);
        }
        lineStart = end;
        open = -1;
        close = -1;
    }
    result.truncate(out.size());
    return result;
}

bool removeAll(QString &text, QLatin1StringView what, Removals *removals) {
    const qsizetype m = what.size();
    if (m == 0)
        return false;
    const QString pattern = QString(what).toCaseFolded();
    const char32_t last = pattern.back().unicode();
    // The text is its own output: kept characters are moved down over removed ones, and an
    // occurrence is taken out as soon as its last character arrives, so text joined by a
    // removal is seen without going back to the start.
    const qsizetype n = text.size();
    QChar *s = text.data();
    qsizetype kept = 0;
    bool found = false;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        s[kept++] = c;
        if (kept < m || folded(c.unicode()) != last)
            continue;
        const QChar *candidate = s + kept - m;
        qsizetype k = 0;
        while (k < m - 1 && folded(candidate[k].unicode()) == pattern.at(k).unicode())
            ++k;
        if (k < m - 1)
            continue;
        kept -= m;
        found = true;
        if (removals)
            removals->removedBefore(kept, i + 1);
    }
    text.truncate(kept);
    return found;
}

namespace {

PreparedScript prepareFor(const QString &script, bool trial) {
    PreparedScript prepared{script, false, SourceMap(script)};
    if (!trial) {
        Removals comments;
        prepared.text = removeOneLineComments(script, &comments);
        prepared.source.addPass(std::move(comments));
    }
    const auto removeEvery = [&prepared](QLatin1StringView what) {
        Removals removals;
        const bool found = removeAll(prepared.text, what, &removals);
        prepared.source.addPass(std::move(removals));
        return found;
    };
    if (!trial) {
        removeEvery(QLatin1StringView("COMMIT WORK;"));
        removeEvery(QLatin1StringView("COMMIT;"));
    }
    prepared.rollbackOnError = removeEvery(QLatin1StringView("ROLLBACK ON ERROR;"));
    return prepared;
}

} // namespace

PreparedScript prepare(const QString &script) {
    return prepareFor(script, false);
}

PreparedScript prepareForTrial(const QString &script) {
    return prepareFor(script, true);
}

} // namespace ScriptPreparation
