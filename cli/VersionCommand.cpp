#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "service/Enderecos.h"
#include "service/Versao.h"
#include "base/Exception.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    if (!CliSession::parse(parser, versionCommand, args, {}, false, err))
        return ExitUsage;
    if (!parser.positionalArguments().isEmpty())
        return CliSession::usageError(versionCommand, QStringLiteral("unexpected argument"), err);
    Conexao conexao;
    const QString own = QStringLiteral(BRISEL_VERSION);
    return CliSession::guarded(err, QStringLiteral("Falha ao verificar a versão."), [&] {
        // The service answers the version between double quotes.
        const QString reply = conexao.Get(URLVersao());
        const QString version = reply.size() > 2 ? reply.mid(1, reply.size() - 2) : QString();
        out << version << '\n';
        if (version.isEmpty() || !VersaoMaior(version, own))
            out << "not newer than this program's " << own << '\n';
        else
            out << "newer than this program's " << own << '\n';
        return int(ExitSuccess);
    });
}

} // namespace

const Command versionCommand = {"version", "version", run};
