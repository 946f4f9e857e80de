#pragma once

#include "cli/Command.h"
#include "service/Protocolo.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QTextStream>

// The filter options of `search` and `log`: --system, --code, --from, --to, --file, --max (and
// --by for the log), read into the filter the two searches send.
namespace SearchFilter {

// Parses a search command's arguments: the filter options plus `extra`, the log-in options and
// no positional argument. Returns ExitSuccess, or ExitUsage after writing the error and usage
// (`--max` above 500 gives the program's own message).
int parse(QCommandLineParser &parser, const Command &command, const QStringList &args, bool withUser,
          const QList<QCommandLineOption> &extra, Protocolo::FiltroPesquisa &filter, QTextStream &err);

} // namespace SearchFilter
