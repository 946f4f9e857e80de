#include "cli/CliSession.h"

#include "service/ErroTransporte.h"
#include "service/Protocolo.h"
#include "base/Exception.h"

#include <QLocale>

CliSession::CliSession() {
    // Reply dates are read in the user's regional form; a shell with no regional settings (the C
    // locale) has none that reads them, so take the program's own, Brazilian Portuguese.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

bool CliSession::parse(QCommandLineParser &parser, const Command &command, const QStringList &args,
                       const QList<QCommandLineOption> &options, bool withLogin, QTextStream &err) {
    parser.addOptions(options);
    if (withLogin)
        parser.addOptions({{QStringLiteral("user"), QString(), QStringLiteral("NAME")},
                           {QStringLiteral("password"), QString(), QStringLiteral("PASSWORD")}});
    if (!parser.parse(QStringList{QString::fromLatin1(command.name)} + args)) {
        usageError(command, parser.errorText(), err);
        return false;
    }
    return true;
}

int CliSession::usageError(const Command &command, const QString &message, QTextStream &err) {
    err << command.name << ": " << message << "\nusage: brisel-scripts-cli " << command.usage << '\n';
    return ExitUsage;
}

QCommandLineOption CliSession::codeOption() {
    return {QStringLiteral("code"), QString(), QStringLiteral("N")};
}

std::optional<int> CliSession::scriptCode(const QCommandLineParser &parser, const Command &command,
                                          QTextStream &err) {
    bool ok = false;
    const int code = parser.value(QStringLiteral("code")).toInt(&ok);
    if (ok && code >= 0)
        return code;
    usageError(command, QStringLiteral("--code needs a script code"), err);
    return std::nullopt;
}

bool CliSession::login(const QCommandLineParser &parser, QTextStream &err) {
    const QString usuario = parser.isSet(QStringLiteral("user")) ? parser.value(QStringLiteral("user"))
                                                                 : qEnvironmentVariable("BRISEL_USER");
    const QString senha = parser.isSet(QStringLiteral("password")) ? parser.value(QStringLiteral("password"))
                                                                   : qEnvironmentVariable("BRISEL_PASSWORD");
    const QString falha = QStringLiteral("Falha ao efetuar o login.");
    const int code = guarded(err, falha, [&] {
        // The program holds user names in upper case.
        const Protocolo::RespostaLogin r = Protocolo::Login(FConexao, usuario.toUpper(), senha);
        if (refused(r, err))
            return int(ExitFailure);
        if (r.chave.isEmpty()) {
            err << falha << '\n';
            return int(ExitFailure);
        }
        FSessao.setChave(r.chave);
        return int(ExitSuccess);
    });
    return code == ExitSuccess;
}

int CliSession::guarded(QTextStream &err, const QString &fixedSentence, const std::function<int()> &body) {
    try {
        return body();
    } catch (const ErroTransporte &e) {
        err << e.message() << '\n';
    } catch (const Exception &) {
        err << fixedSentence << '\n';
    }
    return ExitFailure;
}

bool CliSession::refused(const Protocolo::Resposta &reply, QTextStream &err) {
    if (!reply.success)
        err << reply.message << '\n';
    return !reply.success;
}

int CliSession::request(QTextStream &out, QTextStream &err, const QString &fixedSentence, const QString &done,
                        const std::function<Protocolo::Resposta()> &send) {
    return guarded(err, fixedSentence, [&] {
        if (refused(send(), err))
            return int(ExitFailure);
        out << done << '\n';
        return int(ExitSuccess);
    });
}
