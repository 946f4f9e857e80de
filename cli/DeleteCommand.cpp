#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "service/Protocolo.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    if (!CliSession::parse(parser, deleteCommand, args, {CliSession::codeOption()}, true, err))
        return ExitUsage;
    const std::optional<int> code = CliSession::scriptCode(parser, deleteCommand, err);
    if (!code)
        return ExitUsage;
    if (!parser.positionalArguments().isEmpty())
        return CliSession::usageError(deleteCommand, QStringLiteral("unexpected argument"), err);

    CliSession session;
    if (!session.login(parser, err))
        return ExitFailure;
    return CliSession::request(out, err, QStringLiteral("Falha ao excluir o script."),
                               QStringLiteral("deleted %1").arg(*code),
                               [&] { return Protocolo::Excluir(session.sessao(), *code); });
}

} // namespace

const Command deleteCommand = {"delete", "delete --code N", run};
