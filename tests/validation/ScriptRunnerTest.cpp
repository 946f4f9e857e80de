#include "validation/ScriptRunner.h"
#include "base/Cancelamento.h"
#include "base/Exception.h"
#include "tests/validation/FirebirdTestDatabase.h"
#include "tests/validation/PrintQString.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString C = ScriptRunner::connectedLine();
const QString Commit = ScriptRunner::committedLine();
const QString Rollback = ScriptRunner::rolledBackLine();
const QString Failed = ScriptRunner::failedLine();
const QString Cancelled = ScriptRunner::cancelledLine();
// A statement error: its "Linha N: " line, then any message from the database.
const QString E = QStringLiteral("<statement error>");

struct RunRecord {
    QStringList lines;     // statement errors shown as E
    QStringList messages;  // the statement errors as received
    QStringList locations; // their "Linha N: " lines
    QList<int> failedAt;   // the script lines given to statementFailed
    QString reason;        // what followed the failure line
    QStringList stored;    // "database|password" per settings write
    ScriptRunner::Outcome outcome = ScriptRunner::Outcome::Failed;
};

RunRecord runScript(ScriptRunner &runner, const QString &database, const QString &password,
                    const QString &script, bool settingsFail = false,
                    const std::function<void(const QString &)> &onLine = {}) {
    RunRecord record;
    bool locationSeen = false;
    ScriptRunner::Callbacks callbacks;
    callbacks.appendLine = [&](const QString &line) {
        if (onLine)
            onLine(line);
        if (!record.lines.isEmpty() && record.lines.constLast() == Failed && record.reason.isNull()) {
            record.reason = line;
        } else if (line == C || line == Commit || line == Rollback || line == Failed || line == Cancelled) {
            record.lines.append(line);
        } else if (line.startsWith(u"Linha "_qs) && !locationSeen) {
            record.locations.append(line);
            locationSeen = true;
        } else {
            // A message without its "Linha N: " line first shows as itself and fails the comparison.
            record.lines.append(locationSeen ? E : line);
            record.messages.append(line);
            locationSeen = false;
        }
    };
    callbacks.storeSettings = [&](const QString &db, const QString &pw) {
        if (settingsFail)
            throw Exception(QStringLiteral("read-only"));
        record.stored.append(db + u'|' + pw);
    };
    callbacks.statementFailed = [&](int line) { record.failedAt.append(line); };
    record.outcome = runner.run(database, password, script, callbacks);
    return record;
}

const QString tableSetup = QStringLiteral("CREATE TABLE T (A INTEGER NOT NULL PRIMARY KEY, S VARCHAR(20));");
const QString ins1 = QStringLiteral("insert into t (a) values (1);\n");
const QString ins2 = QStringLiteral("insert into t (a) values (2);\n");
const QString ins3 = QStringLiteral("insert into t (a) values (3);\n");
const QString bad = QStringLiteral("insert into nowhere (a) values (2);\n");
const QString procedure =
    QStringLiteral(" PROCEDURE P RETURNS (X INTEGER) AS\nBEGIN\n  X = 1;\n  SUSPEND;\nEND\n");
const QString rowsOfT = QStringLiteral("select a from t order by a");
const QString procedureAndRows =
    QStringLiteral("select count(*) from rdb$procedures where rdb$procedure_name = 'P' "
                   "union all select count(*) from t");

struct ScriptCase {
    const char *name;
    QString script;
    QStringList lines;
    QString select;
    QStringList values;
};

void PrintTo(const ScriptCase &c, std::ostream *os) {
    *os << c.name;
}

class ScriptRunnerScriptTest : public testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptRunnerScriptTest, RunsAgainstEmbeddedDatabase) {
    const ScriptCase &c = GetParam();
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, tableSetup);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    {
        ScriptRunner runner; // detaches at the end of the scope, so isql-fb can open the file
        const RunRecord record = runScript(runner, database.name(), QString(), c.script);
        EXPECT_EQ(record.lines, c.lines) << record.messages.join(u"\n---\n").toStdString();
    }
    EXPECT_EQ(database.column(c.select), c.values);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptRunnerScriptTest,
    testing::Values(
        ScriptCase{"second_of_three_fails", ins1 + bad + ins3, {C, E, Commit}, rowsOfT, {u"1"_qs, u"3"_qs}},
        ScriptCase{"second_of_three_fails_with_marker",
                   ins1 + bad + ins3 + u"ROLLBACK ON ERROR;\n"_qs,
                   {C, E, Rollback},
                   rowsOfT,
                   {}},
        ScriptCase{
            "marker_without_error", u"ROLLBACK ON ERROR;\n"_qs + ins1, {C, Commit}, rowsOfT, {u"1"_qs}},
        ScriptCase{"lower_case_commit_work_removed",
                   ins1 + u"commit work;\n"_qs + bad + u"rollback on error;"_qs,
                   {C, E, Rollback},
                   rowsOfT,
                   {}},
        ScriptCase{"mixed_case_commit_removed",
                   ins1 + u"Commit;\n"_qs + bad + u"Rollback On Error;"_qs,
                   {C, E, Rollback},
                   rowsOfT,
                   {}},
        ScriptCase{"commit_work_with_blank_is_sent",
                   ins1 + u"COMMIT WORK ;\n"_qs + ins2 + bad + u"ROLLBACK ON ERROR;"_qs,
                   {C, E, Rollback},
                   rowsOfT,
                   {u"1"_qs}},
        ScriptCase{"two_one_line_comments",
                   u"insert into t (a) values (1); /* one */ insert into t (a) values (2); /* two */\n"_qs +
                       ins3,
                   {C, Commit},
                   rowsOfT,
                   {u"1"_qs, u"3"_qs}},
        ScriptCase{"semicolons_in_strings_and_comments",
                   u"insert into t (a, s) values (1, 'x;y');\n"
                   "insert into t (a, s) values (2, 'a' -- ;\n || 'b');\n"
                   "insert into t (a, s) values (3, /* ; */ 'c');\n"_qs,
                   {C, Commit},
                   u"select s from t order by a"_qs,
                   {u"x;y"_qs, u"ab"_qs, u"c"_qs}},
        ScriptCase{"procedure_ended_by_slash",
                   u"CREATE"_qs + procedure + u"/\n"_qs + ins1,
                   {C, Commit},
                   procedureAndRows,
                   {u"1"_qs, u"1"_qs}},
        ScriptCase{"altered_procedure_split_at_first_semicolon",
                   u"ALTER"_qs + procedure + u"/\n"_qs,
                   {C, E, E, E, Commit},
                   procedureAndRows,
                   {u"0"_qs, u"0"_qs}},
        ScriptCase{"set_term_and_back",
                   u"SET TERM ^ ;\nCREATE"_qs + procedure + u"^\nSET TERM ; ^\n"_qs + ins1 + ins2,
                   {C, Commit},
                   procedureAndRows,
                   {u"1"_qs, u"2"_qs}},
        ScriptCase{"unmatched_close_parenthesis",
                   u"insert into t (a) values (1));\n"_qs + ins2,
                   {C, E, Commit},
                   rowsOfT,
                   {}},
        ScriptCase{"last_statement_without_terminator",
                   ins1 + u"insert into t (a) values (2)"_qs,
                   {C, Commit},
                   rowsOfT,
                   {u"1"_qs, u"2"_qs}},
        ScriptCase{"select_returns_rows_without_error",
                   u"select * from rdb$relations;\nselect a from t for update;\n"_qs + ins1,
                   {C, Commit},
                   rowsOfT,
                   {u"1"_qs}},
        ScriptCase{
            "comment_only_command_skipped", ins1 + u"-- the end\n"_qs, {C, Commit}, rowsOfT, {u"1"_qs}}));

TEST(ScriptRunner, EmptyPasswordAttachesAndStoresSettings) {
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    ScriptRunner runner;
    const RunRecord record = runScript(runner, database.name(), QString(), u"select 1 from rdb$database"_qs);
    EXPECT_EQ(record.lines, QStringList({C, Commit}));
    EXPECT_EQ(record.stored, QStringList({database.name() + u'|'}));
    EXPECT_EQ(record.outcome, ScriptRunner::Outcome::Committed);
}

// A unique index over duplicate rows is built only at the commit, which the server then refuses:
// the run fails with the reason, and never tells of a commit.
TEST(ScriptRunner, ACommitTheServerRefusesFailsTheRun) {
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded,
                                  tableSetup + u"CREATE TABLE P (ID INTEGER); INSERT INTO P VALUES (1);"
                                               " INSERT INTO P VALUES (1);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    {
        ScriptRunner runner;
        const RunRecord record =
            runScript(runner, database.name(), QString(), ins1 + u"CREATE UNIQUE INDEX UQ_P ON P (ID);\n"_qs);
        EXPECT_EQ(record.lines, QStringList({C, Failed}));
        EXPECT_TRUE(record.reason.startsWith(u"O commit não foi feito: "_qs)) << record.reason.toStdString();
        EXPECT_TRUE(record.reason.contains(u"UQ_P"_qs)) << record.reason.toStdString();
        EXPECT_EQ(record.outcome, ScriptRunner::Outcome::Failed);
    }
    EXPECT_EQ(database.column(rowsOfT), QStringList());
}

TEST(ScriptRunner, SecondRunStartsWithoutRecordedError) {
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, tableSetup);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    ScriptRunner runner;
    EXPECT_EQ(runScript(runner, database.name(), QString(), bad).lines, QStringList({C, E, Commit}));
    EXPECT_FALSE(runner.lastError().isEmpty());
    const RunRecord second = runScript(runner, database.name(), QString(), u"ROLLBACK ON ERROR;\n"_qs + ins1);
    EXPECT_EQ(second.lines, QStringList({C, Commit}));
    EXPECT_TRUE(runner.lastError().isEmpty());
}

TEST(ScriptRunner, SettingsWriteFailureEndsTheRun) {
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, tableSetup);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    {
        ScriptRunner runner;
        const RunRecord record = runScript(runner, database.name(), QString(), ins1, true);
        EXPECT_EQ(record.lines, QStringList({C, Failed}));
        EXPECT_EQ(record.reason, u"read-only"_qs);
    }
    EXPECT_EQ(database.column(rowsOfT), QStringList());
}

TEST(ScriptRunner, CancelStopsAfterTheStatementInProgressAndRollsBack) {
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, tableSetup);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    {
        ScriptRunner runner;
        Cancelamento stop;
        ScriptRunner::Callbacks callbacks;
        QStringList lines;
        callbacks.appendLine = [&](const QString &line) {
            lines.append(line);
            if (line.startsWith(u"Linha "_qs))
                stop.cancelar(); // while the second statement is being reported
        };
        callbacks.storeSettings = [](const QString &, const QString &) {};
        callbacks.stop = &stop;
        EXPECT_EQ(runner.run(database.name(), QString(), ins1 + bad + ins3 + ins2, callbacks),
                  ScriptRunner::Outcome::Cancelled);
        ASSERT_EQ(lines.size(), 5) << lines.join(u'\n').toStdString();
        EXPECT_EQ(lines.mid(3), QStringList({Cancelled, Rollback}));
    }
    EXPECT_EQ(database.column(rowsOfT), QStringList());
}

// "Linha N: " gives the line of the script as the user has it: where the engine places the
// error in the statement's text, or the statement's first token.
struct LocationCase {
    const char *name;
    QString script;
    QStringList locations;
};

void PrintTo(const LocationCase &c, std::ostream *os) {
    *os << c.name;
}

class ScriptRunnerLocationTest : public testing::TestWithParam<LocationCase> {};

TEST_P(ScriptRunnerLocationTest, ReportsTheScriptLine) {
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Embedded, tableSetup);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    ScriptRunner runner;
    const RunRecord record = runScript(runner, database.name(), QString(), GetParam().script);
    EXPECT_EQ(record.locations, GetParam().locations) << record.messages.join(u"\n---\n").toStdString();
    QList<int> lines;
    for (const QString &location : record.locations)
        lines.append(location.section(u' ', 1, 1).chopped(1).toInt());
    EXPECT_EQ(record.failedAt, lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptRunnerLocationTest,
    testing::Values(
        LocationCase{"engine_line_within_the_statement",
                     u"insert into t (a) values (1);\n\ninsert into t (a)\n  valuez (2);\n"_qs,
                     {u"Linha 4: insert into t (a)"_qs}},
        LocationCase{"no_place_in_the_message_gives_the_first_token",
                     ins1 + u"\n  -- again\n  \t insert into t (a) values (1);\n"_qs,
                     {u"Linha 4: insert into t (a) values (1)"_qs}},
        // Comments and transaction statements taken out before the statement: the place the
        // engine gives in the text sent is traced back through each removal.
        LocationCase{"removed_comments_and_commits_before_the_statement",
                     u"insert into t (a) values (1); /* 1 */ COMMIT;\r\n"
                     "commit work;\r\n"
                     "/* a\r\n"
                     "   multi-line comment */ select /* 2 */ x\r\n"
                     " from nowhere; /* 3 */\r\n"_qs,
                     {u"Linha 5: select  x"_qs}},
        // The engine ends a line at CR LF, CR and LF, but inside quotes only at LF.
        LocationCase{"lone_carriage_returns_end_lines_too",
                     u"insert into t (a) values (1);\r\rinsert into t (a)\r  valuez (2);"_qs,
                     {u"Linha 4: insert into t (a)"_qs}},
        LocationCase{
            "carriage_returns_inside_quotes_and_comments",
            u"select 'a\rb\r\nc' as \"x\ry\" /* d\re */ -- f\rfrom rdb$database\n\r where bad syntax;"_qs,
            {u"Linha 8: select 'a"_qs}},
        LocationCase{"error_inside_an_execute_block",
                     u"insert into t (a) values (1);\nset term ^ ;\nexecute block as\ndeclare x int;\n"
                     "begin\n  x = 1/0;\nend^\nset term ; ^\n"_qs,
                     {u"Linha 6: execute block as"_qs}},
        LocationCase{"a_stored_procedure_s_own_line_is_not_the_script_s",
                     u"set term ^ ;\ncreate procedure p as\ndeclare x int;\nbegin\n  x = 1/0;\nend^\n"
                     "set term ; ^\n\nexecute procedure p;\n"_qs,
                     {u"Linha 9: execute procedure p"_qs}},
        LocationCase{"long_first_line_cut_to_80_characters",
                     u"\n\ninsert into nowhere (a) values ('"_qs + QString(100, u'x') + u"');"_qs,
                     {u"Linha 3: insert into nowhere (a) values ('"_qs + QString(47, u'x')}}));

struct FailureCase {
    const char *name;
    QString database;
    QString library;
    QString reason; // a part of the line after the failure line
};

void PrintTo(const FailureCase &c, std::ostream *os) {
    *os << c.name;
}

class ScriptRunnerFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(ScriptRunnerFailureTest, ShowsTheFailureLineAndItsReason) {
    std::optional<FirebirdClient> missing;
    if (!GetParam().library.isEmpty())
        missing.emplace(GetParam().library);
    ScriptRunner runner(missing ? *missing : FirebirdClient::system());
    const RunRecord record = runScript(runner, GetParam().database, QString(), ins1);
    EXPECT_EQ(record.lines, QStringList({Failed}));
    EXPECT_TRUE(record.reason.contains(GetParam().reason)) << record.reason.toStdString();
    EXPECT_TRUE(record.stored.isEmpty());
    EXPECT_EQ(record.outcome, ScriptRunner::Outcome::Failed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptRunnerFailureTest,
    testing::Values(
        FailureCase{"wrong_path", u"/nonexistent/folder/db.fdb"_qs, {}, u"\"/nonexistent/folder/db.fdb\""_qs},
        FailureCase{"empty_path", QString(), {}, u"Informe o banco de dados."_qs},
        FailureCase{"client_library_missing", u"/tmp/any.fdb"_qs, u"/nonexistent/libfbclient.so.2"_qs,
                    u"Biblioteca cliente do Firebird não encontrada"_qs}));

// Passwords are checked only through the server.
class ScriptRunnerServerTest : public testing::Test {
protected:
    void SetUp() override {
        if (!FirebirdTestDatabase::serverConfigured())
            GTEST_SKIP()
                << "BRISEL_FB_PASSWORD is not set: start tools/firebird-test-server.sh and export it";
    }
};

TEST_F(ScriptRunnerServerTest, PasswordDecidesTheAttachment) {
    FirebirdTestDatabase database(FirebirdTestDatabase::Access::Server, tableSetup);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    ScriptRunner runner;
    const RunRecord refused = runScript(runner, database.name(), u"not-the-password"_qs, ins1);
    EXPECT_EQ(refused.lines, QStringList({Failed}));
    EXPECT_TRUE(refused.reason.contains(u"password"_qs)) << refused.reason.toStdString(); // the engine's own
    EXPECT_EQ(runScript(runner, database.name(), QString(), ins1).lines, QStringList({Failed}));
    const RunRecord record = runScript(runner, database.name(), FirebirdTestDatabase::serverPassword(), ins1);
    EXPECT_EQ(record.lines, QStringList({C, Commit}));
    EXPECT_EQ(record.stored, QStringList({database.name() + u'|' + FirebirdTestDatabase::serverPassword()}));
    EXPECT_EQ(database.column(rowsOfT), QStringList({u"1"_qs}));
}

} // namespace
