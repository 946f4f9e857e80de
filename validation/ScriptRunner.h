#pragma once

#include "validation/FirebirdConnection.h"

#include <QString>

#include <functional>

class Cancelamento;
class ScriptSplitter;
struct PreparedScript;

// One validation run: attach, prepare and split the script, execute each statement once in a
// single transaction, list each statement error, then commit or roll back. Holds the
// connection, which stays attached between runs until the next run or destruction.
class ScriptRunner {
public:
    enum class Outcome { Committed, RolledBack, Cancelled, Failed };

    struct Callbacks {
        // Each result line, in order (an error message may hold line breaks).
        std::function<void(const QString &line)> appendLine;
        // Called once attached; throws Exception when the settings cannot be written.
        std::function<void(const QString &database, const QString &password)> storeSettings;
        // Optional: the script line (from 1) of each failing statement, called right before the
        // statement's "Linha N: " line is appended.
        std::function<void(int scriptLine)> statementFailed = {};
        // Optional: once set, the run stops after the statement in progress and rolls back.
        const Cancelamento *stop = nullptr;
    };

    static QString connectedLine() { return QStringLiteral("Conectado com o banco de dados."); }
    static QString committedLine() { return QStringLiteral("Commit efetuado."); }
    static QString rolledBackLine() { return QStringLiteral("Rollback efetuado."); }
    static QString failedLine() { return QStringLiteral("Falha ao conectar com o banco de dados."); }
    static QString cancelledLine() { return QStringLiteral("Execução cancelada pelo usuário."); }

    explicit ScriptRunner(FirebirdClient &client = FirebirdClient::system());

    // Every failure other than a statement error ends the run with `failedLine` followed by its
    // reason (the engine's message when the engine gave one), leaving the transaction open.
    // A stopped run appends `cancelledLine`, then `rolledBackLine`, and rolls back.
    Outcome run(const QString &database, const QString &password, const QString &script,
                const Callbacks &callbacks);
    // The message of the run's last statement error; empty when it had none.
    const QString &lastError() const { return FLastError; }

private:
    Outcome runSteps(const QString &database, const QString &password, const QString &script,
                     const Callbacks &callbacks);
    void reportFailure(const PreparedScript &prepared, const ScriptSplitter &splitter, QStringView statement,
                       const QString &message, const Callbacks &callbacks);
    void ScriptsError(const QString &message, const Callbacks &callbacks);

    FirebirdConnection Conexao;
    QString FLastError;
};
