#pragma once

#include "validation/SourceMap.h"

#include <QString>

// The clean-up a script text gets before it is split and run.
struct PreparedScript {
    QString text;
    bool rollbackOnError = false; // the text held "ROLLBACK ON ERROR;"
    SourceMap source;             // where each character of `text` stands in the script
};

// Each step is one pass over the text, so a script of any size is prepared in linear time.
namespace ScriptPreparation {

// Removes, on each line, everything from its first "/*" to its last "*/" (quotes are not
// respected); comments spanning lines are left to the splitter. Every kind of line separator
// ends a line here, and so does a lone surrogate (text that is not valid UTF-16).
QString removeOneLineComments(const QString &text, Removals *removals = nullptr);
// Removes every occurrence of `what` in any letter case, also those that a removal joins
// together, until none is left. True when there was at least one. `what` must not be able to
// overlap itself (it ends with a character found nowhere else in it, as ";" in ours), which
// makes the result independent of the order of the removals.
bool removeAll(QString &text, QLatin1StringView what, Removals *removals = nullptr);
// One-line comments, then "COMMIT WORK;", "COMMIT;" and the "ROLLBACK ON ERROR;" marker.
PreparedScript prepare(const QString &script);
// For a trial run, which sends the script as an interactive SQL tool would (its comments left
// to the splitter, its COMMITs run): only the marker is taken out.
PreparedScript prepareForTrial(const QString &script);

} // namespace ScriptPreparation
