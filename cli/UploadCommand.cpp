#include "base/Exception.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/FolderQueue.h"
#include "cli/NaoSuportados.h"
#include "scripts/EnsaioFila.h"
#include "scripts/EnvioScripts.h"

namespace {

struct Options {
    QCommandLineOption dryRun{QStringLiteral("dry-run")};
    QCommandLineOption skipStored{QStringLiteral("skip-stored")};
    QCommandLineOption trialDatabase{QStringLiteral("trial-database"), QString(), QStringLiteral("DB")};
    QCommandLineOption trialPassword{QStringLiteral("trial-password"), QString(), QStringLiteral("P")};
};

// Runs every file of the queue, in order, on one disposable copy of the database, as the
// receivers will run them; false when any failed, each named on `falha` with its failing lines
// (with --json, one record per file). Throws Exception when the copy cannot be made.
bool trialPasses(const QCommandLineParser &parser, const Options &options,
                 const QList<FilaArquivosModel::Linha> &linhas, CliOutput &output) {
    QList<EnsaioFila::Arquivo> arquivos;
    arquivos.reserve(linhas.size());
    for (const auto &l : linhas)
        arquivos.append({l.nomeArq, l.script});
    const QList<EnsaioFila::Resultado> resultados = EnsaioFila().Ensaiar(
        parser.value(options.trialDatabase), parser.value(options.trialPassword), arquivos, {});
    QTextStream &falha = output.errors();
    QList<CliOutput::Fields> registros;
    int falharam = 0;
    for (qsizetype i = 0; i < resultados.size(); ++i) {
        const EnsaioFila::Resultado &r = resultados.at(i);
        QVariantList falhas;
        for (const EnsaioFila::Falha &f : r.falhas)
            falhas.append(
                QVariantMap{{QStringLiteral("linha"), f.linha}, {QStringLiteral("mensagem"), f.mensagem}});
        if (!r.erro.isEmpty())
            falhas.append(
                QVariantMap{{QStringLiteral("linha"), QVariant()}, {QStringLiteral("mensagem"), r.erro}});
        registros.append({{QStringLiteral("arquivo"), linhas.at(i).nomeArq},
                          {QStringLiteral("ensaio"), !r.executado ? QStringLiteral("nao executado")
                                                     : r.falhou() ? QStringLiteral("falhou")
                                                                  : QStringLiteral("ok")},
                          {QStringLiteral("falhas"), falhas}});
        if (!r.falhou())
            continue;
        ++falharam;
        falha << "falhou no ensaio: " << linhas.at(i).nomeArq;
        if (!r.aposFalhaEm.isEmpty())
            falha << " (após falha em " << r.aposFalhaEm << ')';
        falha << '\n';
        for (const EnsaioFila::Falha &f : r.falhas)
            falha << "  Linha " << f.linha << ": "
                  << QString(f.mensagem).replace(u'\n', QStringLiteral("\n    ")) << '\n';
        if (!r.erro.isEmpty())
            falha << "  " << r.erro << '\n';
    }
    if (falharam == 0)
        return true;
    // The document then tells every file's result; a trial that passed leaves it to the upload.
    for (const CliOutput::Fields &registro : registros)
        output.jsonRecord(registro);
    falha << (falharam == 1
                  ? QStringLiteral("1 script falhou no ensaio; nada foi enviado.")
                  : QStringLiteral("%1 scripts falharam no ensaio; nada foi enviado.").arg(falharam))
          << '\n';
    return false;
}

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
    // The whole queue, files the service already holds included: the receivers run them all.
    if (parser.isSet(options.trialDatabase) && !trialPasses(parser, options, linhas, output))
        return ExitTrialFailed;
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
    const std::optional<FolderQueue> queue =
        FolderQueue::parse(parser, uploadCommand, args,
                           {options.dryRun, options.skipStored, options.trialDatabase, options.trialPassword,
                            NaoSuportados::opcao(), CliOutput::option()},
                           err);
    if (!queue)
        return ExitUsage;
    if (parser.isSet(options.trialPassword) && !parser.isSet(options.trialDatabase)) {
        err << "upload: --trial-password needs --trial-database\n";
        return ExitUsage;
    }
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

const Command uploadCommand = {
    "upload",
    "upload --system S --dir D [--mask M] [--since YYYY-MM-DD] [--dry-run] "
    "[--skip-stored] [--trial-database DB [--trial-password P]] [--replace-unsupported] [--json] "
    "[--user U --password P]",
    run};
