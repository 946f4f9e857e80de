#include "base/Exception.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/PagedSearch.h"
#include "cli/SearchFilter.h"
#include "service/Protocolo.h"

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
    Protocolo::FiltroPesquisa filter;
    if (const int parsed = SearchFilter::parse(
            parser, searchCommand, args, false,
            {{QStringLiteral("save"), QString(), QStringLiteral("DIR")}, CliOutput::option()}, filter, err))
        return parsed;
    CliOutput output(out, err, parser.isSet(CliOutput::option()));
    const QString saveDir = parser.value(QStringLiteral("save"));
    if (!saveDir.isEmpty() && !QDir().mkpath(saveDir)) {
        output.errors() << "cannot create folder " << saveDir << '\n';
        return output.finish(ExitFailure);
    }

    const PagedSearch search{
        QStringLiteral("Falha ao pesquisar os scripts no servidor."),
        QStringLiteral("Não foram encontrados scripts com os parâmetros informados."), filter.maximo,
        [&](Sessao &sessao) { return Protocolo::ContarScripts(sessao, filter); },
        [&](Sessao &sessao, int registros, const std::function<bool()> &admitir) {
            Protocolo::BuscarScripts(sessao, filter, registros, [&](const RegistroScript &r) {
                if (!admitir())
                    return;
                output.record({{QStringLiteral("codigo"), r.codigo},
                               {QStringLiteral("data"), Protocolo::DataInsercao(r.data)},
                               {QStringLiteral("arquivo"), r.arquivo}});
                if (saveDir.isEmpty())
                    return;
                QFile file(QDir(saveDir).filePath(safeFileName(r.codigo, r.arquivo)));
                if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                    file.write(r.script) != r.script.size())
                    throw Exception(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
            });
        }};
    return search.run(parser, output);
}

} // namespace

const Command searchCommand = {"search",
                               "search [--system S] [--code C] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--file "
                               "TEXT] [--max N] [--save DIR] [--json]",
                               run};
