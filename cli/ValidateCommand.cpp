// brisel-scripts-cli validate: the validation window's run, from the command line.
#include "cli/Commands.h"

#include "service/TextFile.h"
#include "validation/ScriptPreparation.h"
#include "validation/ScriptRunner.h"
#include "validation/ScriptSplitter.h"
#include "base/Exception.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

// What a run would send, statement by statement, so a user sees where the script is split.
void printDryRun(const QString &script, QTextStream &out) {
    const PreparedScript prepared = ScriptPreparation::prepare(script);
    ScriptSplitter splitter(prepared.text);
    QStringView statement;
    while (splitter.next(statement))
        out << statement << "\n-- end of statement\n";
    if (prepared.rollbackOnError)
        out << "-- marker: rollback on error\n";
}

int runValidate(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    const QCommandLineOption database(QStringLiteral("database"), QString(), QStringLiteral("DB"));
    const QCommandLineOption password(QStringLiteral("password"), QString(), QStringLiteral("P"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    parser.addOptions({database, password, dryRun});
    parser.addPositionalArgument(QStringLiteral("FILE"), QString());
    if (!parser.parse(QStringList{QStringLiteral("validate")} + args)) {
        err << "validate: " << parser.errorText() << '\n';
        return ExitUsage;
    }
    const bool dry = parser.isSet(dryRun);
    if (parser.positionalArguments().size() != 1 || dry == parser.isSet(database)) {
        err << "usage: brisel-scripts-cli " << validateCommand.usage << '\n';
        return ExitUsage;
    }
    const QString file = parser.positionalArguments().constFirst();
    if (!QFileInfo(file).isFile()) {
        err << "validate: " << file << ": no such file\n";
        return ExitFailure;
    }
    QString script;
    try {
        script = TextFile::read(file);
    } catch (const Exception &error) {
        err << "validate: " << error.message() << '\n';
        return ExitFailure;
    }
    if (dry) {
        printDryRun(script, out);
        return ExitSuccess;
    }
    ScriptRunner runner;
    ScriptRunner::Callbacks callbacks;
    callbacks.appendLine = [&](const QString &line) { out << line << '\n'; };
    callbacks.storeSettings = [](const QString &, const QString &) {}; // the command keeps no settings
    const ScriptRunner::Outcome outcome =
        runner.run(parser.value(database), parser.value(password), script, callbacks);
    return outcome == ScriptRunner::Outcome::Committed && runner.lastError().isEmpty() ? ExitSuccess
                                                                                       : ExitFailure;
}

} // namespace

const Command validateCommand = {
    "validate",
    "validate --database DB [--password P] FILE   run a script against a Firebird database\n"
    "  validate --dry-run FILE                      print the statements a run would send",
    runValidate,
};
