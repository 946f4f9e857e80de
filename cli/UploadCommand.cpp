#include "base/Exception.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/FolderQueue.h"
#include "cli/NaoSuportados.h"
#include "scripts/EnvioScripts.h"

namespace {

struct Options {
    QCommandLineOption dryRun{QStringLiteral("dry-run")};
    QCommandLineOption skipStored{QStringLiteral("skip-stored")};
};

// The files of the queue that --skip-stored keeps: those the service does not hold with their text.
QList<FilaArquivosModel::Linha> notStored(const FolderQueue &queue, Sessao &sessao,
                                          const QList<FilaArquivosModel::Linha> &linhas, QTextStream &err) {
    const QList<EstadoNoServico> estados = queue.statesOnService(sessao, linhas);
    QList<FilaArquivosModel::Linha> pendentes;
    for (int i = 0; i < linhas.size(); ++i) {
        if (estados.at(i).tipo != EstadoNoServico::Tipo::Igual)
            pendentes.append(linhas.at(i));
        else
            err << "skipped, stored as code " << estados.at(i).codigo << ": " << linhas.at(i).nomeArq << '\n';
    }
    return pendentes;
}

// Throws Exception with the reason of a failure that no earlier step reported.
int upload(const QCommandLineParser &parser, const Options &options, const FolderQueue &queue,
           CliOutput &output, QTextStream &err) {
    QTextStream &falha = output.errors();
    QList<FilaArquivosModel::Linha> linhas = queue.find();
    if (!parser.isSet(NaoSuportados::opcao())) {
        bool recusado = false;
        for (const auto &l : linhas)
            recusado |= NaoSuportados::relatar(l.nomeArq, l.naoSuportados, falha);
        if (recusado) {
            NaoSuportados::concluir(falha);
            return ExitFailure;
        }
    }
    const bool dryRun = parser.isSet(options.dryRun);
    if (linhas.isEmpty() && !dryRun) {
        falha << "Não existem scripts a serem enviados.\n";
        return ExitFailure;
    }
    CliSession session;
    const bool skipStored = parser.isSet(options.skipStored);
    if ((skipStored || !dryRun) && !session.login(parser, falha))
        return ExitFailure;
    if (skipStored)
        linhas = notStored(queue, session.sessao(), linhas, err);

    auto linhaSaida = [&output](const FilaArquivosModel::Linha &l) {
        output.record({{QStringLiteral("data"), EnvioScripts::textoData(l.data)},
                       {QStringLiteral("arquivo"), l.nomeArq}});
    };
    if (dryRun) {
        for (const auto &l : linhas)
            linhaSaida(l);
        return ExitSuccess;
    }
    // With every file on the service already, there is nothing to do, which is no failure.
    EnvioScripts(session.sessao(), queue.sistema()).Executar(linhas, [&](int enviados) {
        linhaSaida(linhas.at(enviados - 1));
        err << enviados << '/' << linhas.size() << '\n';
        err.flush();
        return true;
    });
    return ExitSuccess;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    const Options options;
    const std::optional<FolderQueue> queue = FolderQueue::parse(
        parser, uploadCommand, args,
        {options.dryRun, options.skipStored, NaoSuportados::opcao(), CliOutput::option()}, err);
    if (!queue)
        return ExitUsage;
    CliOutput output(out, err, parser.isSet(CliOutput::option()));
    try {
        return output.finish(upload(parser, options, *queue, output, err));
    } catch (const Exception &e) {
        // The folder's search, a transport failure or the service's refusal, each with its own
        // text; the files sent before stay sent.
        output.errors() << e.message() << '\n';
        return output.finish(ExitFailure);
    }
}

} // namespace

const Command uploadCommand = {"upload",
                               "upload --system S --dir D [--mask M] [--since YYYY-MM-DD] [--dry-run] "
                               "[--skip-stored] [--replace-unsupported] [--json] [--user U --password P]",
                               run};
