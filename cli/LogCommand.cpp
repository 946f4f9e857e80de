#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/SearchFilter.h"
#include "service/Protocolo.h"
#include "json/Exception.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    if (!CliSession::parse(parser, logCommand, args, SearchFilter::options(true), true, err))
        return ExitUsage;
    if (!parser.positionalArguments().isEmpty())
        return CliSession::usageError(logCommand, QStringLiteral("unexpected argument"), err);
    Protocolo::FiltroPesquisa filter;
    QString error;
    if (!SearchFilter::read(parser, true, filter, error))
        return CliSession::usageError(logCommand, error, err);

    CliSession session;
    if (!session.login(parser, err))
        return ExitFailure;
    Protocolo::RespostaContagem count;
    const int counted =
        CliSession::guarded(err, QStringLiteral("Falha ao pesquisar os logs no servidor."), [&] {
            count = Protocolo::ContarLogs(session.sessao(), filter);
            return int(ExitSuccess);
        });
    if (counted != ExitSuccess)
        return counted;
    if (!count.success) {
        err << count.message << '\n';
        return ExitFailure;
    }
    if (count.registros == 0) {
        err << "Não foram encontrados logs com os parâmetros informados.\n";
        return ExitSuccess;
    }
    try {
        Protocolo::BuscarLogs(session.sessao(), filter, count.registros, [&](const RegistroLog &r) {
            out << r.idscript << '\t' << r.data_alteracao.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                << '\t' << r.nome << '\t' << r.arquivo << '\t' << r.descricao << '\n';
        });
    } catch (const Exception &e) {
        out.flush();
        err << e.message() << '\n';
        return ExitFailure;
    }
    return ExitSuccess;
}

} // namespace

const Command logCommand = {
    "log",
    "log [--system S] [--code C] [--by USER] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--file TEXT] [--max N]",
    run};
