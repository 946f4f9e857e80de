#include "validation/ScriptRunner.h"

#include "base/Cancelamento.h"
#include "base/Windows1252.h"
#include "validation/FirebirdError.h"
#include "validation/ScriptPreparation.h"
#include "validation/ScriptSplitter.h"
#include "validation/StatementLocation.h"

ScriptRunner::ScriptRunner(FirebirdClient &client) : Conexao(client) {}

ScriptRunner::Outcome ScriptRunner::run(const QString &database, const QString &password,
                                        const QString &script, const Callbacks &callbacks) {
    FLastError.clear();
    QString reason;
    try {
        return runSteps(database, password, script, callbacks);
    } catch (const Exception &error) {
        reason = error.message();
    } catch (...) {
        // Whatever it was, the run ends with the one failure line.
    }
    callbacks.appendLine(failedLine());
    if (!reason.isEmpty())
        callbacks.appendLine(reason);
    return Outcome::Failed;
}

ScriptRunner::Outcome ScriptRunner::runSteps(const QString &database, const QString &password,
                                             const QString &script, const Callbacks &callbacks) {
    Conexao.close();
    if (database.trimmed().isEmpty())
        throw Exception(QStringLiteral("Informe o banco de dados."));
    Conexao.open(database, QStringLiteral("sysdba"), password);
    callbacks.appendLine(connectedLine());
    callbacks.storeSettings(database, password);

    const PreparedScript prepared = ScriptPreparation::prepare(script);
    ScriptSplitter splitter(prepared.text);
    QStringView statement;
    const auto stopped = [&callbacks] { return callbacks.stop && callbacks.stop->cancelado(); };
    while (!stopped() && splitter.next(statement)) {
        try {
            Conexao.execute(Windows1252::fromUnicode(statement.toString()));
        } catch (const FirebirdError &error) {
            reportFailure(prepared, splitter, statement, error.message(), callbacks);
        }
    }

    if (stopped()) {
        callbacks.appendLine(cancelledLine());
        callbacks.appendLine(rolledBackLine());
        Conexao.rollback();
        return Outcome::Cancelled;
    }
    if (prepared.rollbackOnError && !FLastError.isEmpty()) {
        callbacks.appendLine(rolledBackLine());
        Conexao.rollback();
        return Outcome::RolledBack;
    }
    callbacks.appendLine(committedLine());
    Conexao.commit();
    return Outcome::Committed;
}

void ScriptRunner::reportFailure(const PreparedScript &prepared, const ScriptSplitter &splitter,
                                 QStringView statement, const QString &message, const Callbacks &callbacks) {
    // The engine's place is counted in the statement's text as sent; without one, the
    // statement's first token stands for it.
    const qsizetype firstToken = splitter.firstTokenStart();
    const qsizetype offset =
        StatementLocation::offsetIn(statement, StatementLocation::enginePosition(message));
    const int line = prepared.source.lineOf(offset < 0 ? firstToken : splitter.statementStart() + offset);
    if (callbacks.statementFailed)
        callbacks.statementFailed(line);
    callbacks.appendLine(
        StatementLocation::reportLine(line, statement.sliced(firstToken - splitter.statementStart())));
    ScriptsError(message, callbacks);
}

void ScriptRunner::ScriptsError(const QString &message, const Callbacks &callbacks) {
    FLastError = message;
    callbacks.appendLine(message);
}
