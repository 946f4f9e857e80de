#pragma once

#include "service/Protocolo.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

// The filter options of `search` and `log`: --system, --code, --from, --to, --file, --max (and
// --by for the log), read into the filter the two searches send.
namespace SearchFilter {

QList<QCommandLineOption> options(bool withUser);
// False with `error` set when an option does not read; `--max` above 500 gives the program's
// own message.
bool read(const QCommandLineParser &parser, bool withUser, Protocolo::FiltroPesquisa &filter, QString &error);

} // namespace SearchFilter
