#pragma once

#include "validation/ScriptRunner.h"
#include "validation/TrialCopyRegistry.h"

#include <QList>
#include <QString>

#include <functional>

// A trial: one or more scripts run in order on one disposable copy of a database (TrialCopy),
// each on the state the previous one left, as an interactive SQL tool runs them with AUTODDL
// ON; the copy is dropped whatever happens, and the database itself is never changed.
// Synchronous: call it from a worker thread, and stop it through Callbacks::run.stop.
class ScriptTrial {
public:
    struct Script {
        QString name; // shown before its lines when there are several
        QString text;
    };
    struct Result {
        ScriptRunner::Outcome outcome = ScriptRunner::Outcome::Failed;
        int failureCount = 0;
        ScriptRunner::Failure firstFailure; // line 0 when none failed
    };
    struct Callbacks {
        // The result lines, the settings once the database is attached (optional here), each
        // failing line, and the stop request, as for a single run.
        ScriptRunner::Callbacks run;
        // Optional: before each script, its number (from 1) and the number of scripts.
        std::function<void(int number, int count)> scriptStarted = {};
    };

    static QString copyMadeLine() { return QStringLiteral("Cópia descartável do banco de dados criada."); }
    static QString copyFailedLine() {
        return QStringLiteral(
            "Não foi possível criar a cópia descartável do banco de dados; o script não foi "
            "executado.");
    }
    static QString trialLine() {
        return QStringLiteral("Ensaio numa cópia descartável: o banco de dados não foi alterado.");
    }
    static QString scriptLine(int number, int count, const QString &name) {
        return QStringLiteral("Script %1 de %2: %3").arg(number).arg(count).arg(name);
    }

    explicit ScriptTrial(FirebirdClient &client = FirebirdClient::system(),
                         const TrialCopyRegistry &registry = TrialCopyRegistry::standard());

    // One result per script that ran, in order: fewer than the scripts when the trial was
    // stopped, or ended by a failure other than a statement error; none when the database could
    // not be attached or copied.
    QList<Result> run(const QString &database, const QString &password, const QList<Script> &scripts,
                      const Callbacks &callbacks);
    // The message of the last statement error of the script running or last run.
    const QString &lastError() const { return m_runner.lastError(); }

private:
    FirebirdClient &m_client;
    TrialCopyRegistry m_registry;
    ScriptRunner m_runner;
};
