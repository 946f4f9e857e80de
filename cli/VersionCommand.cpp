#include "base/Exception.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "service/Enderecos.h"
#include "service/Versao.h"

#include <QRegularExpression>

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    if (!CliSession::parse(parser, versionCommand, args, {CliOutput::option()}, false, err))
        return ExitUsage;
    if (!parser.positionalArguments().isEmpty())
        return CliSession::usageError(versionCommand, QStringLiteral("unexpected argument"), err);
    CliOutput output(out, err, parser.isSet(CliOutput::option()));
    Conexao conexao;
    const QString own = QStringLiteral(BRISEL_VERSION);
    const QString falha = QStringLiteral("Falha ao verificar a versão.");
    return output.finish(CliSession::guarded(output.errors(), falha, [&] {
        // The service answers the version between double quotes. Nothing is printed before the
        // reply proved to be one: a short text of the version's own characters that compares.
        static const QRegularExpression forma(QStringLiteral("^\"[0-9A-Za-z. _-]{1,64}\"$"));
        const QString reply = conexao.Get(URLVersao());
        if (!forma.match(reply).hasMatch())
            throw Exception(falha);
        const QString version = reply.mid(1, reply.size() - 2);
        const bool newer = VersaoMaior(version, own);
        output.textLine(version);
        output.textLine(QStringLiteral("%1 than this program's %2")
                            .arg(newer ? QStringLiteral("newer") : QStringLiteral("not newer"), own));
        output.jsonRecord({{QStringLiteral("versao"), version},
                           {QStringLiteral("versao_local"), own},
                           {QStringLiteral("mais_nova"), newer}});
        return int(ExitSuccess);
    }));
}

} // namespace

const Command versionCommand = {"version", "version [--json]", run};
