#include "cli/PagedSearch.h"

#include "cli/CliSession.h"
#include "base/Exception.h"

int PagedSearch::run(const QCommandLineParser &parser, QTextStream &out, QTextStream &err) const {
    CliSession session;
    if (!session.login(parser, err))
        return ExitFailure;
    int registros = 0;
    const int counted = CliSession::guarded(err, readFailure, [&] {
        const Protocolo::RespostaContagem r = count(session.sessao());
        if (CliSession::refused(r, err))
            return int(ExitFailure);
        registros = r.registros;
        return int(ExitSuccess);
    });
    if (counted != ExitSuccess)
        return counted;
    if (registros == 0) {
        err << noneFound << '\n';
        return ExitSuccess;
    }
    try {
        fetch(session.sessao(), registros);
    } catch (const Exception &e) {
        // As the program's page fetch: the records so far stay, the failure is shown as it is.
        out.flush();
        err << e.message() << '\n';
        return ExitFailure;
    }
    return ExitSuccess;
}
