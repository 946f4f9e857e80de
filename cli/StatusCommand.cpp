#include "base/Exception.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/FolderQueue.h"

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    const std::optional<FolderQueue> queue =
        FolderQueue::parse(parser, statusCommand, args, {CliOutput::option()}, err);
    if (!queue)
        return ExitUsage;
    CliOutput output(out, err, parser.isSet(CliOutput::option()));
    try {
        const QList<FilaArquivosModel::Linha> linhas = queue->find();
        CliSession session;
        if (!session.login(parser, output.errors()))
            return output.finish(ExitFailure);
        const QList<EstadoNoServico> estados = queue->statesOnService(session.sessao(), linhas);
        bool pendente = false;
        for (int i = 0; i < linhas.size(); ++i) {
            const EstadoNoServico &estado = estados.at(i);
            const bool novo = estado.tipo == EstadoNoServico::Tipo::Novo;
            pendente |= estado.tipo != EstadoNoServico::Tipo::Igual;
            output.record({{QStringLiteral("estado"), FolderQueue::stateName(estado.tipo)},
                           {QStringLiteral("codigo"), novo ? QVariant() : QVariant(estado.codigo)},
                           {QStringLiteral("arquivo"), linhas.at(i).nomeArq}});
        }
        return output.finish(pendente ? ExitPending : ExitSuccess);
    } catch (const Exception &e) {
        // The folder's search, a transport failure or the service's refusal, each with its own text.
        output.errors() << e.message() << '\n';
        return output.finish(ExitFailure);
    }
}

} // namespace

const Command statusCommand = {
    "status", "status --system S --dir D [--mask M] [--since YYYY-MM-DD] [--json] [--user U --password P]",
    run};
