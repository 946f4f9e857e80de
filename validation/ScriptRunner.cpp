#include "validation/ScriptRunner.h"

#include "base/Windows1252.h"
#include "validation/FirebirdError.h"
#include "validation/ScriptPreparation.h"
#include "validation/ScriptSplitter.h"

ScriptRunner::ScriptRunner(FirebirdClient &client) : Conexao(client) {}

ScriptRunner::Outcome ScriptRunner::run(const QString &database, const QString &password,
                                        const QString &script, const Callbacks &callbacks) {
    FLastError.clear();
    try {
        return runSteps(database, password, script, callbacks);
    } catch (...) {
        // One line for every failure outside the statement errors, whatever its cause.
        callbacks.appendLine(failedLine());
        return Outcome::Failed;
    }
}

ScriptRunner::Outcome ScriptRunner::runSteps(const QString &database, const QString &password,
                                             const QString &script, const Callbacks &callbacks) {
    Conexao.close();
    if (database.trimmed().isEmpty())
        throw Exception(QStringLiteral("No database given."));
    Conexao.open(database, QStringLiteral("sysdba"), password);
    callbacks.appendLine(connectedLine());
    callbacks.storeSettings(database, password);

    const PreparedScript prepared = ScriptPreparation::prepare(script);
    ScriptSplitter splitter(prepared.text);
    QStringView statement;
    while (splitter.next(statement)) {
        try {
            Conexao.execute(Windows1252::fromUnicode(statement.toString()));
        } catch (const FirebirdError &error) {
            ScriptsError(error.message(), callbacks);
        }
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

void ScriptRunner::ScriptsError(const QString &message, const Callbacks &callbacks) {
    FLastError = message;
    callbacks.appendLine(message);
}
