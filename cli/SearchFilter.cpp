#include "cli/SearchFilter.h"

#include "catalog/MontarParametros.h"
#include "cli/CliSession.h"

namespace SearchFilter {

namespace {

bool readDate(const QCommandLineParser &parser, const QString &name, QDate &date, QString &error) {
    if (!parser.isSet(name))
        return true;
    date = QDate::fromString(parser.value(name), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        error = QStringLiteral("--%1 needs a date as YYYY-MM-DD: %2").arg(name, parser.value(name));
    return date.isValid();
}

QList<QCommandLineOption> options(bool withUser) {
    QList<QCommandLineOption> list{
        {QStringLiteral("system"), QString(), QStringLiteral("S")},
        {QStringLiteral("code"), QString(), QStringLiteral("C")},
        {QStringLiteral("from"), QString(), QStringLiteral("YYYY-MM-DD")},
        {QStringLiteral("to"), QString(), QStringLiteral("YYYY-MM-DD")},
        {QStringLiteral("file"), QString(), QStringLiteral("TEXT")},
        {QStringLiteral("max"), QString(), QStringLiteral("N")},
    };
    if (withUser)
        list.append({QStringLiteral("by"), QString(), QStringLiteral("USER")});
    return list;
}

bool read(const QCommandLineParser &parser, bool withUser, Protocolo::FiltroPesquisa &filter,
          QString &error) {
    static const QStringList systems{QStringLiteral("KOR"), QStringLiteral("KOR_LIVROS"),
                                     QStringLiteral("TALAO")};
    filter.sistema = parser.value(QStringLiteral("system"));
    if (!filter.sistema.isEmpty() && !systems.contains(filter.sistema)) {
        error = QStringLiteral("--system must be one of %1").arg(systems.join(QStringLiteral(", ")));
        return false;
    }
    filter.codigo = parser.value(QStringLiteral("code"));
    if (withUser)
        filter.usuario = parser.value(QStringLiteral("by"));
    if (!readDate(parser, QStringLiteral("from"), filter.data_inicio, error) ||
        !readDate(parser, QStringLiteral("to"), filter.data_fim, error))
        return false;
    filter.arquivo = parser.value(QStringLiteral("file"));
    filter.maximo = 100;
    if (parser.isSet(QStringLiteral("max"))) {
        bool ok = false;
        filter.maximo = parser.value(QStringLiteral("max")).toInt(&ok);
        if (!ok || filter.maximo < 0) {
            error = QStringLiteral("--max needs a whole number: %1").arg(parser.value(QStringLiteral("max")));
            return false;
        }
    }
    if (filter.maximo > MaximoRegistros) {
        error = QStringLiteral("A quantidade máxima de registros não pode ser superior a 500.");
        return false;
    }
    return true;
}

} // namespace

int parse(QCommandLineParser &parser, const Command &command, const QStringList &args, bool withUser,
          const QList<QCommandLineOption> &extra, Protocolo::FiltroPesquisa &filter, QTextStream &err) {
    if (!CliSession::parse(parser, command, args, options(withUser) + extra, true, err))
        return ExitUsage;
    if (!parser.positionalArguments().isEmpty())
        return CliSession::usageError(command, QStringLiteral("unexpected argument"), err);
    QString error;
    if (!read(parser, withUser, filter, error))
        return CliSession::usageError(command, error, err);
    return ExitSuccess;
}

} // namespace SearchFilter
