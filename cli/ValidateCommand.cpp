// brisel-scripts-cli validate: the validation window's run, from the command line.
#include "cli/CliOutput.h"
#include "cli/Commands.h"

#include "base/Exception.h"
#include "service/TextFile.h"
#include "validation/ScriptPreparation.h"
#include "validation/ScriptRunner.h"
#include "validation/ScriptSplitter.h"
#include "validation/ScriptTrial.h"
#include "validation/TrialCopy.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <optional>

namespace {

// What a run would send, statement by statement, so a user sees where the script is split.
void printDryRun(const QString &script, CliOutput &output) {
    const PreparedScript prepared = ScriptPreparation::prepare(script);
    ScriptSplitter splitter(prepared.text);
    QStringView statement;
    while (splitter.next(statement)) {
        if (output.json())
            output.jsonRecord({{QStringLiteral("linha"), prepared.source.lineOf(splitter.firstTokenStart())},
                               {QStringLiteral("comando"), statement.toString()}});
        else
            output.textLine(statement.toString() + QStringLiteral("\n-- end of statement"));
    }
    if (prepared.rollbackOnError)
        output.textLine(QStringLiteral("-- marker: rollback on error"));
}

// Runs the script, on a disposable copy of the database with `onCopy`; the text form is the
// runner's lines, the JSON form one record per failing statement with its line and the engine's
// message.
int runScript(const QString &database, const QString &password, const QString &script, CliOutput &output,
              bool onCopy) {
    ScriptRunner runner;
    ScriptTrial trial;
    const QString &lastError = onCopy ? trial.lastError() : runner.lastError();
    ScriptRunner::Callbacks callbacks;
    QStringList lines;
    callbacks.appendLine = [&](const QString &line) {
        output.textLine(line);
        lines << line;
    };
    callbacks.storeSettings = [](const QString &, const QString &) {}; // the command keeps no settings
    // A failing statement's message is the run's last error once the next one fails or the run ends.
    std::optional<int> failedAt;
    const auto recordFailure = [&] {
        if (failedAt)
            output.jsonRecord(
                {{QStringLiteral("linha"), *failedAt}, {QStringLiteral("mensagem"), lastError}});
        failedAt.reset();
    };
    callbacks.statementFailed = [&](int line) {
        recordFailure();
        failedAt = line;
    };
    ScriptRunner::Outcome outcome = ScriptRunner::Outcome::Failed;
    if (!onCopy) {
        outcome = runner.run(database, password, script, callbacks);
    } else if (const QList<ScriptTrial::Result> results =
                   trial.run(database, password, {{QString(), script}}, {callbacks});
               !results.isEmpty()) {
        outcome = results.constFirst().outcome;
    }
    recordFailure();
    if (outcome == ScriptRunner::Outcome::Failed) {
        // The run never got to the statements' end: no answer but why.
        if (output.json())
            output.errors()
                << lines.mid(lines.lastIndexOf(ScriptRunner::failedLine())).join(QLatin1Char('\n')) << '\n';
        return output.finish(ExitFailure);
    }
    return output.finishWithRecords(
        outcome == ScriptRunner::Outcome::Committed && lastError.isEmpty() ? ExitSuccess : ExitFailure);
}

int runValidate(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    const QCommandLineOption database(QStringLiteral("database"), QString(), QStringLiteral("DB"));
    const QCommandLineOption password(QStringLiteral("password"), QString(), QStringLiteral("P"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption onCopy(QStringLiteral("on-copy"));
    parser.addOptions({database, password, dryRun, onCopy, CliOutput::option()});
    parser.addPositionalArgument(QStringLiteral("FILE"), QString());
    if (!parser.parse(QStringList{QStringLiteral("validate")} + args)) {
        err << "validate: " << parser.errorText() << '\n';
        return ExitUsage;
    }
    const bool dry = parser.isSet(dryRun);
    if (parser.positionalArguments().size() != 1 || dry == parser.isSet(database) ||
        (dry && parser.isSet(onCopy))) {
        err << "usage: brisel-scripts-cli " << validateCommand.usage << '\n';
        return ExitUsage;
    }
    CliOutput output(out, err, parser.isSet(CliOutput::option()));
    const QString file = parser.positionalArguments().constFirst();
    if (!QFileInfo(file).isFile()) {
        output.errors() << "validate: " << file << ": no such file\n";
        return output.finish(ExitFailure);
    }
    QString script;
    try {
        script = TextFile::read(file);
    } catch (const Exception &error) {
        output.errors() << "validate: " << error.message() << '\n';
        return output.finish(ExitFailure);
    }
    if (dry) {
        printDryRun(script, output);
        return output.finish(ExitSuccess);
    }
    // Trial copies that a killed run of the program or of this command left behind.
    TrialCopy::removeLeftovers(FirebirdClient::system(), TrialCopyRegistry::standard(),
                               parser.value(password));
    return runScript(parser.value(database), parser.value(password), script, output, parser.isSet(onCopy));
}

} // namespace

const Command validateCommand = {
    "validate",
    "validate --database DB [--password P] [--on-copy] [--json] FILE   run a script against a Firebird "
    "database\n"
    "  validate --dry-run [--json] FILE                                  print the statements a run would "
    "send",
    runValidate,
};
