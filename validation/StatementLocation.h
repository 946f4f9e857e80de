#pragma once

#include <QString>
#include <QStringView>

// Where in its statement the database places an error, and the line that introduces a failing
// statement in the result ("Linha N: " and the statement's first line).
namespace StatementLocation {

// A place in a statement's text as the engine counts it, both from 1, starting right where the
// text sent begins: CR LF, CR and LF each end a line, except inside a quoted string or name,
// where only LF does.
struct EnginePosition {
    int line = 0; // 0: the message gives no place
    int column = 0;
};

// "line L, column C", or "At block line: L, col: C" (a statement's own EXECUTE BLOCK); places
// inside stored procedures and triggers ("At procedure 'P' line: ...") are in their own source.
EnginePosition enginePosition(const QString &message);
// The offset in `statement` of `position` (at most its end); -1 when it has no such line.
qsizetype offsetIn(QStringView statement, EnginePosition position);
// "Linha N: " and the text from `firstToken` to the end of its line, cut to 80 characters.
QString reportLine(int scriptLine, QStringView firstToken);

} // namespace StatementLocation
