#pragma once

#include "cli/Command.h"
#include "service/Conexao.h"
#include "service/Sessao.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QTextStream>

#include <functional>
#include <optional>

namespace Protocolo {
struct Resposta;
}

// What the commands that talk to the service share: their option parsing, the log-in with
// --user/--password (or BRISEL_USER/BRISEL_PASSWORD), the one connection with its session key,
// and the reporting of a failed request.
class CliSession {
public:
    // Parses `args` with `options` (plus --user and --password when `withLogin`). On a bad option
    // writes the error and the command's usage to err and returns false.
    static bool parse(QCommandLineParser &parser, const Command &command, const QStringList &args,
                      const QList<QCommandLineOption> &options, bool withLogin, QTextStream &err);
    // Writes "<command>: <message>" and the command's usage; returns ExitUsage.
    static int usageError(const Command &command, const QString &message, QTextStream &err);

    // The --code option of the commands that change one stored script, and its value: a missing
    // or bad one writes the usage error (the caller returns ExitUsage).
    static QCommandLineOption codeOption();
    static std::optional<int> scriptCode(const QCommandLineParser &parser, const Command &command,
                                         QTextStream &err);

    // Logs in; on failure writes why (the service's message, the transport failure's text or
    // "Falha ao efetuar o login.") and returns false.
    bool login(const QCommandLineParser &parser, QTextStream &err);

    CliSession();

    Conexao &conexao() { return FConexao; }
    Sessao &sessao() { return FSessao; }

    // Runs a request: a transport failure is reported with its own text, any other failure in
    // reading the reply with the operation's fixed sentence. Returns the body's exit code, or
    // ExitFailure.
    static int guarded(QTextStream &err, const QString &fixedSentence, const std::function<int()> &body);
    // A refusal writes the service's message and is true.
    static bool refused(const Protocolo::Resposta &reply, QTextStream &err);
    // A request answered by a bare envelope: success writes `done` to out.
    static int request(QTextStream &out, QTextStream &err, const QString &fixedSentence, const QString &done,
                       const std::function<Protocolo::Resposta()> &send);

private:
    Conexao FConexao;
    Sessao FSessao{FConexao};
};
