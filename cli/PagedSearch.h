#pragma once

#include "service/Protocolo.h"

#include <QCommandLineParser>
#include <QString>

#include <functional>

class CliOutput;
class Sessao;

// The count-then-fetch of `search` and `log`: logs in, counts, stops on a refusal or when nothing
// is found, then fetches the records counted, but never more than --max whatever the count says.
// A --max of 0 is the window's "Máximo" of 0: the count decides, up to the search's own limit.
struct PagedSearch {
    QString readFailure; // the fixed sentence for a count reply that does not read
    QString noneFound;   // written to standard error; finding nothing is still a success
    int maximo = 0;      // --max
    std::function<Protocolo::RespostaContagem(Sessao &)> count;
    // Fetches pages until `registros` records are in; `admitir` is asked before each record is
    // written and is false once `registros` were written (a last page may bring more).
    std::function<void(Sessao &, int registros, const std::function<bool()> &admitir)> fetch;

    int run(const QCommandLineParser &parser, CliOutput &output) const;
};
