#include "cli/PagedSearch.h"

#include "base/Exception.h"
#include "catalog/MontarParametros.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"

#include <algorithm>

int PagedSearch::run(const QCommandLineParser &parser, CliOutput &output) const {
    QTextStream &err = output.errors();
    CliSession session;
    if (!session.login(parser, err))
        return output.finish(ExitFailure);
    int registros = 0;
    const int counted = CliSession::guarded(err, readFailure, [&] {
        const Protocolo::RespostaContagem r = count(session.sessao());
        if (CliSession::refused(r, err))
            return int(ExitFailure);
        registros = r.registros;
        return int(ExitSuccess);
    });
    if (counted != ExitSuccess)
        return output.finish(counted);
    if (registros <= 0) {
        err << noneFound << '\n';
        return output.finish(ExitSuccess);
    }
    // A service whose count ignores "maximo" must not make us fetch and print more than asked.
    const int limite = std::min(registros, maximo > 0 ? maximo : MaximoRegistros);
    int escritos = 0;
    const auto admitir = [&] {
        if (escritos >= limite)
            return false;
        ++escritos;
        return true;
    };
    try {
        fetch(session.sessao(), limite, admitir);
    } catch (const Exception &e) {
        // As the program's page fetch: the records so far stay, the failure is shown as it is.
        err << e.message() << '\n';
        return output.finish(ExitFailure);
    }
    return output.finish(ExitSuccess);
}
