#include "validation/StatementLocation.h"

#include <QRegularExpression>

#include <algorithm>

namespace StatementLocation {

EnginePosition enginePosition(const QString &message) {
    static const QRegularExpression place(
        QStringLiteral(R"(\bline (\d+), column (\d+)|^At block line: (\d+), col: (\d+))"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = place.match(message);
    if (!match.hasMatch())
        return {};
    const int first = match.capturedLength(1) > 0 ? 1 : 3;
    EnginePosition position{match.captured(first).toInt(), match.captured(first + 1).toInt()};
    if (position.line < 1 || position.column < 1)
        return {};
    return position;
}

qsizetype offsetIn(QStringView statement, EnginePosition position) {
    if (position.line < 1)
        return -1;
    enum { Code, Quoted, LineComment, BlockComment } state = Code;
    QChar quote;
    const qsizetype n = statement.size();
    const auto followedBy = [&](qsizetype i, char16_t c) { return i + 1 < n && statement[i + 1] == c; };
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < n && line < position.line; ++i) {
        const QChar c = statement[i];
        bool lineEnd = false;
        if (state == Quoted) {
            if (c == quote)
                state = Code;
            lineEnd = c == u'\n';
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && followedBy(i, u'\n'))
                ++i;
            lineEnd = true;
            if (state == LineComment)
                state = Code;
        } else if (state == Code) {
            if (c == u'\'' || c == u'"') {
                state = Quoted;
                quote = c;
            } else if (c == u'-' && followedBy(i, u'-')) {
                state = LineComment;
                ++i;
            } else if (c == u'/' && followedBy(i, u'*')) {
                state = BlockComment;
                ++i;
            }
        } else if (state == BlockComment && c == u'*' && followedBy(i, u'/')) {
            state = Code;
            ++i;
        }
        if (lineEnd) {
            ++line;
            lineStart = i + 1;
        }
    }
    if (line < position.line)
        return -1;
    return std::min<qsizetype>(lineStart + position.column - 1, n);
}

QString reportLine(int scriptLine, QStringView firstToken) {
    qsizetype end = 0;
    while (end < firstToken.size() && end < 80 && firstToken[end] != u'\n' && firstToken[end] != u'\r')
        ++end;
    return QStringLiteral("Linha %1: ").arg(scriptLine) + firstToken.left(end).trimmed().toString();
}

} // namespace StatementLocation
