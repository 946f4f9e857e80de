#include "validation/ScriptTrial.h"

#include "base/Cancelamento.h"
#include "base/Exception.h"
#include "validation/FirebirdConnection.h"
#include "validation/TrialCopy.h"

#include <memory>

ScriptTrial::ScriptTrial(FirebirdClient &client, const TrialCopyRegistry &registry)
    : m_client(client), m_registry(registry), m_runner(client) {}

QList<ScriptTrial::Result> ScriptTrial::run(const QString &database, const QString &password,
                                            const QList<Script> &scripts, const Callbacks &callbacks) {
    const auto appendLine = callbacks.run.appendLine;
    std::unique_ptr<TrialCopy> copy;
    try {
        if (database.trimmed().isEmpty())
            throw Exception(QStringLiteral("Informe o banco de dados."));
        FirebirdConnection original(m_client);
        original.open(database, QStringLiteral("sysdba"), password);
        appendLine(ScriptRunner::connectedLine());
        if (callbacks.run.storeSettings)
            callbacks.run.storeSettings(database, password);
        // Copies of this database that a killed run left, now that its password is known.
        TrialCopy::removeLeftovers(m_client, m_registry, password, database);
        try {
            copy = std::make_unique<TrialCopy>(m_client, m_registry, original, database, password);
        } catch (const TrialCopy::Failure &failure) {
            appendLine(copyFailedLine());
            appendLine(failure.reason());
            return {};
        }
    } catch (const Exception &error) {
        appendLine(ScriptRunner::failedLine());
        appendLine(error.message());
        return {};
    }
    appendLine(copyMadeLine());

    QList<Result> results;
    ScriptRunner &runner = m_runner;
    const auto stopped = [&callbacks] { return callbacks.run.stop && callbacks.run.stop->cancelado(); };
    try {
        runner.attach(copy->name(), password);
        for (qsizetype i = 0; i < scripts.size() && !stopped(); ++i) {
            if (callbacks.scriptStarted)
                callbacks.scriptStarted(int(i + 1), int(scripts.size()));
            if (scripts.size() > 1)
                appendLine(scriptLine(int(i + 1), int(scripts.size()), scripts.at(i).name));
            const ScriptRunner::Outcome outcome =
                runner.runScript(scripts.at(i).text, ScriptRunner::Mode::Trial, callbacks.run);
            results.append({outcome, runner.failureCount(), runner.firstFailure()});
            if (outcome == ScriptRunner::Outcome::Failed || outcome == ScriptRunner::Outcome::Cancelled)
                break;
        }
        if (stopped() &&
            (results.isEmpty() || results.constLast().outcome != ScriptRunner::Outcome::Cancelled))
            appendLine(ScriptRunner::cancelledLine());
    } catch (const Exception &error) {
        appendLine(ScriptRunner::failedLine());
        appendLine(error.message());
    }
    runner.detach();
    try {
        copy->drop();
    } catch (const Exception &error) {
        appendLine(
            QStringLiteral("A cópia descartável %1 não pôde ser excluída agora; será excluída na próxima "
                           "execução do programa.")
                .arg(copy->name()));
        appendLine(error.message());
    }
    appendLine(trialLine());
    return results;
}
