#include "validation/ScriptRunner.h"

#include "base/Cancelamento.h"
#include "base/Windows1252.h"
#include "validation/FirebirdError.h"
#include "validation/SchemaChanges.h"
#include "validation/ScriptPreparation.h"
#include "validation/ScriptSplitter.h"
#include "validation/StatementLocation.h"

ScriptRunner::ScriptRunner(FirebirdClient &client) : Conexao(client) {}

ScriptRunner::Outcome ScriptRunner::run(const QString &database, const QString &password,
                                        const QString &script, const Callbacks &callbacks) {
    return guarded(callbacks, [&] {
        Conexao.close();
        if (database.trimmed().isEmpty())
            throw Exception(QStringLiteral("Informe o banco de dados."));
        Conexao.open(database, QStringLiteral("sysdba"), password);
        callbacks.appendLine(connectedLine());
        callbacks.storeSettings(database, password);
        return execute(script, Mode::Single, callbacks);
    });
}

void ScriptRunner::attach(const QString &database, const QString &password) {
    Conexao.open(database, QStringLiteral("sysdba"), password);
}

ScriptRunner::Outcome ScriptRunner::runScript(const QString &script, Mode mode, const Callbacks &callbacks) {
    return guarded(callbacks, [&] { return execute(script, mode, callbacks); });
}

ScriptRunner::Outcome ScriptRunner::guarded(const Callbacks &callbacks,
                                            const std::function<Outcome()> &steps) {
    FLastError.clear();
    m_failureCount = 0;
    m_firstFailure = Failure();
    QString reason;
    try {
        return steps();
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

ScriptRunner::Outcome ScriptRunner::execute(const QString &script, Mode mode, const Callbacks &callbacks) {
    const PreparedScript prepared =
        mode == Mode::Trial ? ScriptPreparation::prepareForTrial(script) : ScriptPreparation::prepare(script);
    ScriptSplitter splitter(prepared.text);
    SchemaChanges changes;
    QStringView statement;
    const auto stopped = [&callbacks] { return callbacks.stop && callbacks.stop->cancelado(); };
    while (!stopped() && splitter.next(statement)) {
        bool ddl = false;
        try {
            ddl = Conexao.execute(Windows1252::fromUnicode(statement.toString()));
        } catch (const FirebirdError &error) {
            reportFailure(prepared, splitter, statement, error.message(), callbacks);
            const QString explanation = mode == Mode::Single ? changes.explain(error.message()) : QString();
            if (!explanation.isEmpty())
                callbacks.appendLine(explanation);
            continue;
        }
        if (mode == Mode::Single) {
            changes.note(statement);
        } else if (ddl) {
            // Some DDL fails only when committed (a unique index over duplicate rows): that is
            // this statement's failure, and its work is rolled back.
            try {
                Conexao.commit();
            } catch (const FirebirdError &error) {
                Conexao.rollback();
                reportFailure(prepared, splitter, statement, error.message(), callbacks);
            }
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
    // Told once made: the server may refuse the commit (deferred work such as a unique index over
    // duplicate rows, a database shut down under the run), and then nothing was written.
    try {
        Conexao.commit();
    } catch (const FirebirdError &error) {
        throw Exception(QStringLiteral("O commit não foi feito: %1").arg(error.message()));
    }
    callbacks.appendLine(committedLine());
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
    const QString location =
        StatementLocation::reportLine(line, statement.sliced(firstToken - splitter.statementStart()));
    if (m_failureCount++ == 0)
        m_firstFailure = {line, location, message};
    callbacks.appendLine(location);
    ScriptsError(message, callbacks);
}

void ScriptRunner::ScriptsError(const QString &message, const Callbacks &callbacks) {
    FLastError = message;
    callbacks.appendLine(message);
}
