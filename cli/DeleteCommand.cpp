#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "service/Protocolo.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    if (!CliSession::parse(parser, deleteCommand, args,
                           {{QStringLiteral("code"), QString(), QStringLiteral("N")}}, true, err))
        return ExitUsage;
    bool ok = false;
    const int code = parser.value(QStringLiteral("code")).toInt(&ok);
    if (!ok || code < 0)
        return CliSession::usageError(deleteCommand, QStringLiteral("--code needs a script code"), err);
    if (!parser.positionalArguments().isEmpty())
        return CliSession::usageError(deleteCommand, QStringLiteral("unexpected argument"), err);

    CliSession session;
    if (!session.login(parser, err))
        return ExitFailure;
    return CliSession::guarded(err, QStringLiteral("Falha ao excluir o script."), [&] {
        const Protocolo::Resposta r = Protocolo::Excluir(session.sessao(), code);
        if (!r.success) {
            err << r.message << '\n';
            return int(ExitFailure);
        }
        out << "deleted " << code << '\n';
        return int(ExitSuccess);
    });
}

} // namespace

const Command deleteCommand = {"delete", "delete --code N", run};
