#include "validation/SchemaChanges.h"

#include <QStringList>

namespace {

bool isNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The names and words of a statement in order, as Firebird stores them: unquoted ones in upper
// case, quoted ones as written. Strings and comments are skipped.
QStringList words(QStringView text) {
    QStringList result;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            while (i < n && text[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(u"*/", i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'\'' || c == u'"') {
            QString quoted;
            for (++i; i < n; ++i) {
                if (text[i] == c) {
                    if (i + 1 < n && text[i + 1] == c) {
                        quoted += c;
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                quoted += text[i];
            }
            if (c == u'"')
                result.append(quoted);
        } else if (isNameCharacter(c)) {
            const qsizetype start = i;
            while (i < n && isNameCharacter(text[i]))
                ++i;
            result.append(text.sliced(start, i - start).toString().toUpper());
        } else {
            ++i;
        }
    }
    return result;
}

// What the message names after the line `what` ("-NOVA" after "-Table unknown").
QString nameAfter(const QString &message, QStringView what) {
    const QStringList lines = message.split(u'\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (QStringView(lines.at(i)).trimmed().endsWith(what, Qt::CaseInsensitive)) {
            QString name = lines.at(i + 1).trimmed();
            if (name.startsWith(u'-'))
                name.remove(0, 1);
            return name;
        }
    }
    return QString();
}

QString hint(const QString &object, const QString &name) {
    return QStringLiteral(
               "%1 %2 é criada ou alterada por uma instrução anterior deste script; o Firebird não a "
               "enxerga na mesma transação. Use \"Ensaiar numa cópia descartável\".")
        .arg(object, name);
}

} // namespace

void SchemaChanges::note(QStringView statement) {
    const QStringList w = words(statement);
    qsizetype i = 0;
    const auto is = [&](const char *word) {
        if (i < w.size() && w.at(i) == QLatin1StringView(word)) {
            ++i;
            return true;
        }
        return false;
    };
    if (!is("CREATE") && !is("RECREATE") && !is("ALTER"))
        return;
    if (is("OR"))
        ++i; // ALTER or REPLACE
    if (is("GLOBAL"))
        ++i; // TEMPORARY
    if (!is("TABLE") && !is("VIEW"))
        return;
    if (i >= w.size())
        return;
    m_tables.insert(w.at(i));
    for (const QString &word : w)
        m_columns.insert(word);
}

QString SchemaChanges::explain(const QString &message) const {
    const QString table = nameAfter(message, u"Table unknown");
    if (!table.isEmpty() && m_tables.contains(table))
        return hint(QStringLiteral("A tabela"), table);
    const QString column = nameAfter(message, u"Column unknown");
    // Qualified by the table or its alias in the statement: the column's own name decides.
    const QString bare = column.mid(column.lastIndexOf(u'.') + 1);
    if (!bare.isEmpty() && m_columns.contains(bare))
        return hint(QStringLiteral("A coluna"), column);
    return QString();
}
