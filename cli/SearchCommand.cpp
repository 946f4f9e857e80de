#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/SearchFilter.h"
#include "service/Protocolo.h"
#include "json/Exception.h"

#include <QDir>
#include <QFile>

namespace {

// The stored name becomes part of a local path: it must not climb out of the folder.
QString safeFileName(int code, const QString &name) {
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return QStringLiteral("%1-%2").arg(code).arg(safe);
}

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    QList<QCommandLineOption> options = SearchFilter::options(false);
    options.append({QStringLiteral("save"), QString(), QStringLiteral("DIR")});
    if (!CliSession::parse(parser, searchCommand, args, options, true, err))
        return ExitUsage;
    if (!parser.positionalArguments().isEmpty())
        return CliSession::usageError(searchCommand, QStringLiteral("unexpected argument"), err);
    Protocolo::FiltroPesquisa filter;
    QString error;
    if (!SearchFilter::read(parser, false, filter, error))
        return CliSession::usageError(searchCommand, error, err);
    const QString saveDir = parser.value(QStringLiteral("save"));
    if (!saveDir.isEmpty() && !QDir().mkpath(saveDir)) {
        err << "cannot create folder " << saveDir << '\n';
        return ExitFailure;
    }

    CliSession session;
    if (!session.login(parser, err))
        return ExitFailure;
    Protocolo::RespostaContagem count;
    const int counted =
        CliSession::guarded(err, QStringLiteral("Falha ao pesquisar os scripts no servidor."), [&] {
            count = Protocolo::ContarScripts(session.sessao(), filter);
            return int(ExitSuccess);
        });
    if (counted != ExitSuccess)
        return counted;
    if (!count.success) {
        err << count.message << '\n';
        return ExitFailure;
    }
    if (count.registros == 0) {
        err << "Não foram encontrados scripts com os parâmetros informados.\n";
        return ExitSuccess;
    }
    try {
        Protocolo::BuscarScripts(session.sessao(), filter, count.registros, [&](const RegistroScript &r) {
            out << r.codigo << '\t' << r.data.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t'
                << r.arquivo << '\n';
            if (saveDir.isEmpty())
                return;
            QFile file(QDir(saveDir).filePath(safeFileName(r.codigo, r.arquivo)));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(r.script) != r.script.size())
                throw Exception(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
        });
    } catch (const Exception &e) {
        // As the program's page fetch: the records so far stay, the failure is shown as it is.
        out.flush();
        err << e.message() << '\n';
        return ExitFailure;
    }
    return ExitSuccess;
}

} // namespace

const Command searchCommand = {"search",
                               "search [--system S] [--code C] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--file "
                               "TEXT] [--max N] [--save DIR]",
                               run};
