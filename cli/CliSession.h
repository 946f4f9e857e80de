#pragma once

#include "cli/Command.h"
#include "service/Conexao.h"
#include "service/Sessao.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QTextStream>

#include <functional>

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

private:
    Conexao FConexao;
    Sessao FSessao{FConexao};
};
