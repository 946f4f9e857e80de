#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "service/Protocolo.h"
#include "service/TextFile.h"
#include "base/Windows1252.h"
#include "base/Exception.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    if (!CliSession::parse(parser, updateCommand, args, {CliSession::codeOption()}, true, err))
        return ExitUsage;
    const std::optional<int> code = CliSession::scriptCode(parser, updateCommand, err);
    if (!code)
        return ExitUsage;
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
    return CliSession::request(out, err, QStringLiteral("Falha ao atualizar o script."),
                               QStringLiteral("updated %1").arg(*code),
                               [&] { return Protocolo::Atualizar(session.sessao(), *code, script); });
}

} // namespace

const Command updateCommand = {"update", "update --code N FILE", run};
