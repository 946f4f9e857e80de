#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "service/Protocolo.h"
#include "service/TextFile.h"
#include "service/Windows1252.h"
#include "json/Exception.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    if (!CliSession::parse(parser, updateCommand, args,
                           {{QStringLiteral("code"), QString(), QStringLiteral("N")}}, true, err))
        return ExitUsage;
    bool ok = false;
    const int code = parser.value(QStringLiteral("code")).toInt(&ok);
    if (!ok || code < 0)
        return CliSession::usageError(updateCommand, QStringLiteral("--code needs a script code"), err);
    if (parser.positionalArguments().size() != 1)
        return CliSession::usageError(updateCommand, QStringLiteral("one FILE expected"), err);
    QByteArray script;
    try {
        script = Windows1252::fromUnicode(TextFile::read(parser.positionalArguments().constFirst()));
    } catch (const Exception &e) {
        err << parser.positionalArguments().constFirst() << ": " << e.message() << '\n';
        return ExitFailure;
    }

    CliSession session;
    if (!session.login(parser, err))
        return ExitFailure;
    return CliSession::guarded(err, QStringLiteral("Falha ao atualizar o script."), [&] {
        const Protocolo::Resposta r = Protocolo::Atualizar(session.sessao(), code, script);
        if (!r.success) {
            err << r.message << '\n';
            return int(ExitFailure);
        }
        out << "updated " << code << '\n';
        return int(ExitSuccess);
    });
}

} // namespace

const Command updateCommand = {"update", "update --code N FILE", run};
