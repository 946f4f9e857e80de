#include "cli/FolderQueue.h"

#include "base/Exception.h"
#include "cli/CliSession.h"
#include "scripts/ConsultaEstadoServico.h"
#include "scripts/EnvioScripts.h"
#include "scripts/PesquisaArquivos.h"

#include <QFileInfo>

std::optional<FolderQueue> FolderQueue::parse(QCommandLineParser &parser, const Command &command,
                                              const QStringList &args, const QList<QCommandLineOption> &extra,
                                              QTextStream &err) {
    const QList<QCommandLineOption> options{
        {QStringLiteral("system"), QString(), QStringLiteral("S")},
        {QStringLiteral("dir"), QString(), QStringLiteral("D")},
        {QStringLiteral("mask"), QString(), QStringLiteral("M"), QStringLiteral("*.*")},
        {QStringLiteral("since"), QString(), QStringLiteral("YYYY-MM-DD")}};
    if (!CliSession::parse(parser, command, args, options + extra, true, err))
        return std::nullopt;
    const auto usageError = [&](const QString &message) {
        CliSession::usageError(command, message, err);
        return std::nullopt;
    };
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument"));
    FolderQueue queue;
    queue.FSistema = parser.value(QStringLiteral("system"));
    if (!QStringList{QStringLiteral("KOR"), QStringLiteral("KOR_LIVROS"), QStringLiteral("TALAO")}.contains(
            queue.FSistema))
        return usageError(QStringLiteral("--system must be KOR, KOR_LIVROS or TALAO"));
    if (!parser.isSet(QStringLiteral("dir")))
        return usageError(QStringLiteral("--dir is required"));
    queue.FPasta = parser.value(QStringLiteral("dir"));
    queue.FMascara = parser.value(QStringLiteral("mask"));
    queue.FDesde = QDate::currentDate();
    if (parser.isSet(QStringLiteral("since"))) {
        queue.FDesde = QDate::fromString(parser.value(QStringLiteral("since")), QStringLiteral("yyyy-MM-dd"));
        if (!queue.FDesde.isValid())
            return usageError(QStringLiteral("--since needs a date YYYY-MM-DD"));
    }
    return queue;
}

QList<FilaArquivosModel::Linha> FolderQueue::find() const {
    if (FPasta.isEmpty() || !QFileInfo(FPasta).isDir())
        throw Exception(QStringLiteral("Diretório base inválido."));
    FilaArquivosModel fila;
    PesquisaArquivos::Ganchos ganchos;
    const QDateTime limite = FDesde.startOfDay();
    ganchos.limite = [&] { return limite; };
    ganchos.encontrado = [&](const QString &caminho, const QDateTime &data) {
        fila.AdicionarArquivo(caminho, data);
    };
    PesquisaArquivos(FMascara, ganchos).Pesquisar(FPasta);
    return fila.linhas();
}

QList<EstadoNoServico> FolderQueue::statesOnService(Sessao &sessao,
                                                    const QList<FilaArquivosModel::Linha> &linhas) const {
    QList<ConsultaEstadoServico::Arquivo> arquivos;
    arquivos.reserve(linhas.size());
    for (const auto &l : linhas)
        arquivos.append({EnvioScripts::nomeArquivo(l.nomeArq), l.script});
    return ConsultaEstadoServico(sessao, FSistema).Consultar(arquivos);
}

QString FolderQueue::stateName(EstadoNoServico::Tipo tipo) {
    switch (tipo) {
    case EstadoNoServico::Tipo::Novo:
        return QStringLiteral("novo");
    case EstadoNoServico::Tipo::Igual:
        return QStringLiteral("igual");
    case EstadoNoServico::Tipo::Alterado:
        return QStringLiteral("alterado");
    }
    return {};
}
