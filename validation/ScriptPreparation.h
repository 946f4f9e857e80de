#pragma once

#include <QString>

// The clean-up a script text gets before it is split and run.
struct PreparedScript {
    QString text;
    bool rollbackOnError = false; // the text held "ROLLBACK ON ERROR;"
};

namespace ScriptPreparation {

// Removes, on each line, everything from its first "/*" to its last "*/" (quotes are not
// respected); comments spanning lines are left to the splitter.
QString removeOneLineComments(const QString &text);
// Removes every occurrence of `what` in any letter case, again and again until none is left
// (a removal can join text into a new occurrence). True when there was at least one.
bool removeAll(QString &text, QLatin1StringView what);
// One-line comments, then "COMMIT WORK;", "COMMIT;" and the "ROLLBACK ON ERROR;" marker.
PreparedScript prepare(const QString &script);

} // namespace ScriptPreparation
