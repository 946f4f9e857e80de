#pragma once

#include "validation/FirebirdConnection.h"

#include <QString>

#include <functional>

// One validation run: attach, prepare and split the script, execute each statement once in a
// single transaction, list each statement error, then commit or roll back. Holds the
// connection, which stays attached between runs until the next run or destruction.
class ScriptRunner {
public:
    enum class Outcome { Committed, RolledBack, Failed };

    struct Callbacks {
        // Each result line, in order (an error message may hold line breaks).
        std::function<void(const QString &line)> appendLine;
        // Called once attached; throws Exception when the settings cannot be written.
        std::function<void(const QString &database, const QString &password)> storeSettings;
    };

    static QString connectedLine() { return QStringLiteral("Conectado com o banco de dados."); }
    static QString committedLine() { return QStringLiteral("Commit efetuado."); }
    static QString rolledBackLine() { return QStringLiteral("Rollback efetuado."); }
    static QString failedLine() { return QStringLiteral("Falha ao conectar com o banco de dados."); }

    explicit ScriptRunner(FirebirdClient &client = FirebirdClient::system());

    // Every failure other than a statement error ends the run with `failedLine`, leaving the
    // transaction open.
    Outcome run(const QString &database, const QString &password, const QString &script,
                const Callbacks &callbacks);
    // The message of the run's last statement error; empty when it had none.
    const QString &lastError() const { return FLastError; }

private:
    Outcome runSteps(const QString &database, const QString &password, const QString &script,
                     const Callbacks &callbacks);
    void ScriptsError(const QString &message, const Callbacks &callbacks);

    FirebirdConnection Conexao;
    QString FLastError;
};
