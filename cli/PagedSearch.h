#pragma once

#include "service/Protocolo.h"

#include <QCommandLineParser>
#include <QString>
#include <QTextStream>

#include <functional>

class Sessao;

// The count-then-fetch of `search` and `log`: logs in, counts, stops on a refusal or when nothing
// is found, then fetches every record counted.
struct PagedSearch {
    QString readFailure; // the fixed sentence for a count reply that does not read
    QString noneFound;   // written to err; finding nothing is still a success
    std::function<Protocolo::RespostaContagem(Sessao &)> count;
    std::function<void(Sessao &, int registros)> fetch;

    int run(const QCommandLineParser &parser, QTextStream &out, QTextStream &err) const;
};
