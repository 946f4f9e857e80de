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
//
// A trial (ScriptTrial) attaches the runner to a disposable copy and runs scripts there as an
// interactive SQL tool does with AUTODDL ON: each DDL statement is committed when it succeeds,
// and the script's own COMMITs are run.
class ScriptRunner {
public:
    enum class Outcome { Committed, RolledBack, Cancelled, Failed };
    enum class Mode { Single, Trial };

    // A run's first failing statement: its script line, its "Linha N: " line and the message.
    struct Failure {
        int line = 0;
        QString location;
        QString message;
    };

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
    // A "Table unknown" or "Column unknown" about a table an earlier statement defines is followed
    // by a line that explains it and points to the trial.
    Outcome run(const QString &database, const QString &password, const QString &script,
                const Callbacks &callbacks);

    // For a trial: attaches to (the copy) `database` as SYSDBA, without result lines or settings.
    // Throws Exception. Then runScript() as often as wanted, and detach().
    void attach(const QString &database, const QString &password);
    void detach() { Conexao.close(); }
    // Runs one script on the attached database, failures reported as run() does them; `storeSettings`
    // is not called.
    Outcome runScript(const QString &script, Mode mode, const Callbacks &callbacks);

    // The message of the run's last statement error; empty when it had none.
    const QString &lastError() const { return FLastError; }
    // The run's statement failures: their number and the first.
    int failureCount() const { return m_failureCount; }
    const Failure &firstFailure() const { return m_firstFailure; }

private:
    Outcome guarded(const Callbacks &callbacks, const std::function<Outcome()> &steps);
    Outcome execute(const QString &script, Mode mode, const Callbacks &callbacks);
    void reportFailure(const PreparedScript &prepared, const ScriptSplitter &splitter, QStringView statement,
                       const QString &message, const Callbacks &callbacks);
    void ScriptsError(const QString &message, const Callbacks &callbacks);

    FirebirdConnection Conexao;
    QString FLastError;
    int m_failureCount = 0;
    Failure m_firstFailure;
};
