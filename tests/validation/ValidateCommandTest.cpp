#include "tests/validation/FirebirdTestDatabase.h"
#include "tests/validation/PrintQString.h"
#include "tests/validation/SampleScripts.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <optional>

#include <csignal>

namespace {

struct CliResult {
    int exitCode = -1;
    QString out;
};

CliResult runCli(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(BRISEL_CLI), arguments);
    CliResult result;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    return result;
}

struct CliCase {
    const char *name;
    QByteArray script;
    bool dryRun;
    int exitCode;
    QString out; // for a real run, statement errors are checked by the exit code only
};

void PrintTo(const CliCase &c, std::ostream *os) {
    *os << c.name;
}

class ValidateCommandTest : public testing::TestWithParam<CliCase> {};

TEST_P(ValidateCommandTest, PrintsAndExits) {
    const CliCase &c = GetParam();
    QTemporaryDir dir;
    const QString file = dir.filePath(u"script.sql"_qs);
    QFile script(file);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(c.script);
    script.close();
    QStringList arguments{u"validate"_qs};
    std::optional<FirebirdTestDatabase> database;
    if (c.dryRun) {
        arguments << u"--dry-run"_qs;
    } else {
        database.emplace(FirebirdTestDatabase::Access::Embedded, u"CREATE TABLE T (A INTEGER);"_qs);
        ASSERT_TRUE(database->isValid()) << database->error().toStdString();
        arguments << u"--database"_qs << database->name();
    }
    const CliResult result = runCli(arguments << file);
    EXPECT_EQ(result.exitCode, c.exitCode);
    if (!c.out.isNull()) {
        EXPECT_EQ(result.out, c.out);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidateCommandTest,
    testing::Values(
        CliCase{"dry_run_shows_split_and_marker",
                "a; /* x */ b; /* y */\nc;\nrollback on error;\nCOMMIT WORK ;", true, 0,
                u"a\n-- end of statement\n \nc\n-- end of statement\n\n\nCOMMIT WORK \n-- end of statement\n"
                "-- marker: rollback on error\n"_qs},
        CliCase{"dry_run_reads_windows_1252", "select '\xE7';", true, 0,
                u"select 'ç'\n-- end of statement\n"_qs},
        CliCase{"run_without_errors", "insert into t values (1);\nselect * from t;", false, 0,
                u"Conectado com o banco de dados.\nCommit efetuado.\n"_qs},
        CliCase{"run_with_a_statement_error", "insert into t values (1);\ninsert into nowhere values (1);",
                false, 1, QString()},
        CliCase{"rolled_back_run", "insert into nowhere values (1);\nROLLBACK ON ERROR;", false, 1,
                QString()}));

// Each failing statement's report starts with the script line the engine points at and the
// statement's first line; a connection failure gives the engine's reason after its line.
TEST(ValidateCommand, ErrorsAtTheirScriptLine) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"script.sql"_qs);
    QFile script(file);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(SampleScripts::errorOnLine7);
    script.close();
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, u"CREATE TABLE T (A INTEGER);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();

    const CliResult run = runCli({u"validate"_qs, u"--database"_qs, database.name(), file});
    EXPECT_EQ(run.exitCode, 1);
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4) << run.out.toStdString();
    EXPECT_EQ(lines.at(0), u"Conectado com o banco de dados."_qs);
    EXPECT_EQ(lines.at(1), QString::fromUtf8(SampleScripts::errorOnLine7Report));
    EXPECT_EQ(lines.mid(2, lines.size() - 3).join(u'\n'),
              u"Dynamic SQL Error\nSQL error code = -104\nToken unknown - line 3, column 3\nvaluez"_qs);
    EXPECT_EQ(lines.constLast(), u"Commit efetuado."_qs);

    const QString missing = dir.filePath(u"missing.fdb"_qs);
    const CliResult failed = runCli({u"validate"_qs, u"--database"_qs, missing, file});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.out.startsWith(u"Falha ao conectar com o banco de dados.\n"_qs))
        << failed.out.toStdString();
    EXPECT_TRUE(failed.out.contains(missing)) << failed.out.toStdString();
}

// --json: a record per failing statement with its line and the engine's message, or the envelope
// when the run cannot take place.
TEST(ValidateCommand, JsonListsTheFailingStatements) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"script.sql"_qs);
    QFile script(file);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        "insert into t values (1);\ninsert into nowhere values (1);\n\ninsert into t values ('x');\n");
    script.close();
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, u"CREATE TABLE T (A INTEGER);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();

    const CliResult run = runCli({u"validate"_qs, u"--json"_qs, u"--database"_qs, database.name(), file});
    EXPECT_EQ(run.exitCode, 1);
    const json::TJSONArray failures(run.out);
    ASSERT_EQ(failures.length(), 2) << run.out.toStdString();
    const int lines[] = {2, 4};
    const char *messages[] = {"Table unknown\nNOWHERE", "conversion error from string \"x\""};
    for (int i = 0; i < 2; ++i) {
        const json::TJSONObject *failure = failures.getJSONObject(i);
        EXPECT_EQ(failure->keys(), (QStringList{u"linha"_qs, u"mensagem"_qs}));
        EXPECT_EQ(failure->getInt(u"linha"_qs), lines[i]);
        EXPECT_TRUE(failure->getString(u"mensagem"_qs).contains(QString::fromUtf8(messages[i])))
            << failure->getString(u"mensagem"_qs).toStdString();
    }

    const CliResult noFile =
        runCli({u"validate"_qs, u"--json"_qs, u"--database"_qs, database.name(), file + u"x"_qs});
    EXPECT_EQ(noFile.exitCode, 1);
    EXPECT_FALSE(json::TJSONObject(noFile.out).getBoolean(u"success"_qs)) << noFile.out.toStdString();

    const QString missing = dir.filePath(u"missing.fdb"_qs);
    const CliResult failed = runCli({u"validate"_qs, u"--json"_qs, u"--database"_qs, missing, file});
    EXPECT_EQ(failed.exitCode, 1);
    const json::TJSONObject envelope(failed.out);
    EXPECT_FALSE(envelope.getBoolean(u"success"_qs));
    EXPECT_TRUE(envelope.getString(u"message"_qs).startsWith(u"Falha ao conectar com o banco de dados.\n"_qs))
        << failed.out.toStdString();
    EXPECT_TRUE(envelope.getString(u"message"_qs).contains(missing)) << failed.out.toStdString();

    const CliResult dry = runCli({u"validate"_qs, u"--json"_qs, u"--dry-run"_qs, file});
    EXPECT_EQ(dry.exitCode, 0);
    const json::TJSONArray statements(dry.out);
    ASSERT_EQ(statements.length(), 3) << dry.out.toStdString();
    EXPECT_EQ(statements.getJSONObject(2)->getInt(u"linha"_qs), 4);
    EXPECT_EQ(statements.getJSONObject(2)->getString(u"comando"_qs).trimmed(),
              u"insert into t values ('x')"_qs);
}

TEST(ValidateCommand, UsageErrors) {
    EXPECT_EQ(runCli({u"validate"_qs}).exitCode, 2);
    EXPECT_EQ(runCli({u"validate"_qs, u"--dry-run"_qs, u"--database"_qs, u"x"_qs, u"f.sql"_qs}).exitCode, 2);
    EXPECT_EQ(runCli({u"validate"_qs, u"--dry-run"_qs, u"/nonexistent/f.sql"_qs}).exitCode, 1);
}

} // namespace

// The Firebird client catches SIGINT and SIGTERM once attached and, left alone, lets the run go
// on to its end and commit. A signal mid-run ends the command by that signal, nothing committed.
TEST(ValidateCommand, ATerminationSignalEndsARunningScriptWithNothingCommitted) {
    const struct {
        int signal;
        FirebirdTestDatabase::Access access;
    } cases[] = {{SIGTERM, FirebirdTestDatabase::Access::Server},
                 {SIGINT, FirebirdTestDatabase::Access::Embedded}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.signal);
        if (c.access == FirebirdTestDatabase::Access::Server && !FirebirdTestDatabase::serverConfigured()) {
            ADD_FAILURE() << "no Firebird server configured (BRISEL_FB_PASSWORD)";
            continue;
        }
        QTemporaryDir dir;
        const QString file = dir.filePath(u"script.sql"_qs);
        QFile script(file);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("insert into t values (1);\nSET TERM ^;\nEXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN\n"
                     "WHILE (I < 2000000000) DO I = I + 1; END^\nSET TERM ;^\n");
        script.close();
        FirebirdTestDatabase database(c.access, u"CREATE TABLE T (A INTEGER);"_qs);
        ASSERT_TRUE(database.isValid()) << database.error().toStdString();

        QStringList arguments{u"validate"_qs, u"--database"_qs, database.name()};
        if (c.access == FirebirdTestDatabase::Access::Server)
            arguments << u"--password"_qs << FirebirdTestDatabase::serverPassword();
        QProcess cli;
        cli.start(QStringLiteral(BRISEL_CLI), arguments << file);
        QString out;
        for (int i = 0; i < 300 && !out.contains(u"Conectado"_qs); ++i) {
            cli.waitForReadyRead(100);
            out += QString::fromUtf8(cli.readAllStandardOutput());
        }
        ASSERT_TRUE(out.contains(u"Conectado"_qs)) << out.toStdString();
        QThread::msleep(500); // into the loop, the insert made
        ::kill(pid_t(cli.processId()), c.signal);
        EXPECT_TRUE(cli.waitForFinished(10000)) << "still running after the signal";
        EXPECT_EQ(cli.exitStatus(), QProcess::CrashExit);
        out += QString::fromUtf8(cli.readAllStandardOutput());
        EXPECT_FALSE(out.contains(u"Commit efetuado"_qs)) << out.toStdString();
        cli.kill();
        cli.waitForFinished();
        EXPECT_EQ(database.column(u"select count(*) from t"_qs), QStringList({u"0"_qs}));
    }
}
