#include "cli/Commands.h"
#include "cli/PagedSearch.h"
#include "cli/SearchFilter.h"
#include "service/Protocolo.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    Protocolo::FiltroPesquisa filter;
    if (const int parsed = SearchFilter::parse(parser, logCommand, args, true, {}, filter, err))
        return parsed;

    const PagedSearch search{
        QStringLiteral("Falha ao pesquisar os logs no servidor."),
        QStringLiteral("Não foram encontrados logs com os parâmetros informados."), filter.maximo,
        [&](Sessao &sessao) { return Protocolo::ContarLogs(sessao, filter); },
        [&](Sessao &sessao, int registros, const std::function<bool()> &admitir) {
            Protocolo::BuscarLogs(sessao, filter, registros, [&](const RegistroLog &r) {
                if (!admitir())
                    return;
                out << r.idscript << '\t' << r.data_alteracao.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                    << '\t' << r.nome << '\t' << r.arquivo << '\t' << r.descricao << '\n';
            });
        }};
    return search.run(parser, out, err);
}

} // namespace

const Command logCommand = {
    "log",
    "log [--system S] [--code C] [--by USER] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--file TEXT] [--max N]",
    run};
