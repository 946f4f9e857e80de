#include "base/Exception.h"
#include "base/Windows1252.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/NaoSuportados.h"
#include "service/Protocolo.h"
#include "service/TextFile.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    if (!CliSession::parse(parser, updateCommand, args, {CliSession::codeOption(), NaoSuportados::opcao()},
                           true, err))
        return ExitUsage;
    const std::optional<int> code = CliSession::scriptCode(parser, updateCommand, err);
    if (!code)
        return ExitUsage;
    if (parser.positionalArguments().size() != 1)
        return CliSession::usageError(updateCommand, QStringLiteral("one FILE expected"), err);
    const QString arquivo = parser.positionalArguments().constFirst();
    QString texto;
    try {
        texto = TextFile::read(arquivo);
    } catch (const Exception &e) {
        err << e.message() << '\n'; // names the file
        return ExitFailure;
    }
    if (!parser.isSet(NaoSuportados::opcao()) &&
        NaoSuportados::relatar(arquivo, Windows1252::caracteresNaoSuportados(texto), err)) {
        NaoSuportados::concluir(err);
        return ExitFailure;
    }
    const QByteArray script = Windows1252::fromUnicode(texto);

    CliSession session;
    if (!session.login(parser, err))
        return ExitFailure;
    return CliSession::request(out, err, QStringLiteral("Falha ao atualizar o script."),
                               QStringLiteral("updated %1").arg(*code),
                               [&] { return Protocolo::Atualizar(session.sessao(), *code, script); });
}

} // namespace

const Command updateCommand = {"update", "update --code N [--replace-unsupported] FILE", run};
