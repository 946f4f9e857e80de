#pragma once

#include "cli/Command.h"
#include "scripts/EstadoNoServico.h"
#include "scripts/FilaArquivosModel.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QList>
#include <QString>
#include <QTextStream>

#include <optional>

class Sessao;

// The folder search that `upload` and `status` share with page "Envio": the options --system,
// --dir, --mask and --since, the files they find in queue order, and what the service holds of
// them under the system.
class FolderQueue {
public:
    // Parses a command's arguments: the queue's options plus `extra` and the log-in options, and
    // no positional argument. A bad or missing one writes the usage error and gives nothing.
    static std::optional<FolderQueue> parse(QCommandLineParser &parser, const Command &command,
                                            const QStringList &args, const QList<QCommandLineOption> &extra,
                                            QTextStream &err);

    const QString &sistema() const { return FSistema; }

    // The files in queue order. Throws Exception with the reason when the folder is none or its
    // search fails.
    QList<FilaArquivosModel::Linha> find() const;
    // The state of each file on the service, in the same order (see ConsultaEstadoServico, whose
    // failures pass through).
    QList<EstadoNoServico> statesOnService(Sessao &sessao,
                                           const QList<FilaArquivosModel::Linha> &linhas) const;

    // "novo", "igual" or "alterado".
    static QString stateName(EstadoNoServico::Tipo tipo);

private:
    QString FSistema;
    QString FPasta;
    QString FMascara;
    QDate FDesde;
};
