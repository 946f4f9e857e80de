#include "base/Exception.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/NaoSuportados.h"
#include "scripts/EnvioScripts.h"
#include "scripts/FilaArquivosModel.h"
#include "scripts/PesquisaArquivos.h"

#include <QDate>
#include <QFileInfo>

namespace {

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    if (!CliSession::parse(parser, uploadCommand, args,
                           {{QStringLiteral("system"), QString(), QStringLiteral("S")},
                            {QStringLiteral("dir"), QString(), QStringLiteral("D")},
                            {QStringLiteral("mask"), QString(), QStringLiteral("M"), QStringLiteral("*.*")},
                            {QStringLiteral("since"), QString(), QStringLiteral("YYYY-MM-DD")},
                            dryRun,
                            NaoSuportados::opcao()},
                           true, err))
        return ExitUsage;
    if (!parser.positionalArguments().isEmpty())
        return CliSession::usageError(uploadCommand, QStringLiteral("unexpected argument"), err);
    const QString sistema = parser.value(QStringLiteral("system"));
    if (!QStringList{QStringLiteral("KOR"), QStringLiteral("KOR_LIVROS"), QStringLiteral("TALAO")}.contains(
            sistema))
        return CliSession::usageError(uploadCommand,
                                      QStringLiteral("--system must be KOR, KOR_LIVROS or TALAO"), err);
    if (!parser.isSet(QStringLiteral("dir")))
        return CliSession::usageError(uploadCommand, QStringLiteral("--dir is required"), err);
    QDate desde = QDate::currentDate();
    if (parser.isSet(QStringLiteral("since"))) {
        desde = QDate::fromString(parser.value(QStringLiteral("since")), QStringLiteral("yyyy-MM-dd"));
        if (!desde.isValid())
            return CliSession::usageError(uploadCommand, QStringLiteral("--since needs a date YYYY-MM-DD"),
                                          err);
    }
    const QString pasta = parser.value(QStringLiteral("dir"));
    if (pasta.isEmpty() || !QFileInfo(pasta).isDir()) {
        err << "Diretório base inválido.\n";
        return ExitFailure;
    }

    FilaArquivosModel fila;
    PesquisaArquivos::Ganchos ganchos;
    const QDateTime limite = desde.startOfDay();
    ganchos.limite = [&] { return limite; };
    ganchos.encontrado = [&](const QString &caminho, const QDateTime &data) {
        fila.AdicionarArquivo(caminho, data);
    };
    try {
        PesquisaArquivos(parser.value(QStringLiteral("mask")), ganchos).Pesquisar(pasta);
    } catch (const Exception &e) {
        err << e.message() << '\n';
        return ExitFailure;
    }

    const QList<FilaArquivosModel::Linha> linhas = fila.linhas();
    if (!parser.isSet(NaoSuportados::opcao())) {
        bool recusado = false;
        for (const auto &l : linhas)
            recusado |= NaoSuportados::relatar(l.nomeArq, l.naoSuportados, err);
        if (recusado) {
            NaoSuportados::concluir(err);
            return ExitFailure;
        }
    }
    auto linhaSaida = [&out](const FilaArquivosModel::Linha &l) {
        out << EnvioScripts::textoData(l.data) << '\t' << l.nomeArq << '\n';
        out.flush();
    };
    if (parser.isSet(dryRun)) {
        for (const auto &l : linhas)
            linhaSaida(l);
        return ExitSuccess;
    }
    if (linhas.isEmpty()) {
        err << "Não existem scripts a serem enviados.\n";
        return ExitFailure;
    }

    CliSession session;
    if (!session.login(parser, err))
        return ExitFailure;
    try {
        EnvioScripts(session.sessao(), sistema).Executar(linhas, [&](int enviados) {
            linhaSaida(linhas.at(enviados - 1));
            err << enviados << '/' << linhas.size() << '\n';
            err.flush();
            return true;
        });
    } catch (const Exception &e) {
        // A transport failure or the service's refusal, each with its own text.
        err << e.message() << '\n';
        return ExitFailure;
    }
    return ExitSuccess;
}

} // namespace

const Command uploadCommand = {"upload",
                               "upload --system S --dir D [--mask M] [--since YYYY-MM-DD] [--dry-run] "
                               "[--replace-unsupported] [--user U --password P]",
                               run};
