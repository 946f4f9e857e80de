#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/PagedSearch.h"
#include "cli/SearchFilter.h"
#include "service/Protocolo.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    Protocolo::FiltroPesquisa filter;
    if (const int parsed =
            SearchFilter::parse(parser, logCommand, args, true, {CliOutput::option()}, filter, err))
        return parsed;
    CliOutput output(out, err, parser.isSet(CliOutput::option()));

    const PagedSearch search{
        QStringLiteral("Falha ao pesquisar os logs no servidor."),
        QStringLiteral("Não foram encontrados logs com os parâmetros informados."), filter.maximo,
        [&](Sessao &sessao) { return Protocolo::ContarLogs(sessao, filter); },
        [&](Sessao &sessao, int registros, const std::function<bool()> &admitir) {
            Protocolo::BuscarLogs(sessao, filter, registros, [&](const RegistroLog &r) {
                if (!admitir())
                    return;
                output.record({{QStringLiteral("codigo"), r.idscript},
                               {QStringLiteral("data"), Protocolo::DataInsercao(r.data_alteracao)},
                               {QStringLiteral("usuario"), r.nome},
                               {QStringLiteral("arquivo"), r.arquivo},
                               {QStringLiteral("descricao"), r.descricao}});
            });
        }};
    return search.run(parser, output);
}

} // namespace

const Command logCommand = {"log",
                            "log [--system S] [--code C] [--by USER] [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
                            "[--file TEXT] [--max N] [--json]",
                            run};
