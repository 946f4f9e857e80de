#include "validation/ScriptTrial.h"
#include "base/Cancelamento.h"
#include "base/IniFile.h"
#include "tests/validation/FirebirdTestDatabase.h"
#include "tests/validation/PrintQString.h"
#include "validation/TrialCopy.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <QThread>
#include <memory>

namespace {

using Access = FirebirdTestDatabase::Access;

const QString C = ScriptRunner::connectedLine();
const QString Copy = ScriptTrial::copyMadeLine();
const QString Commit = ScriptRunner::committedLine();
const QString Failed = ScriptRunner::failedLine();
const QString Trial = ScriptTrial::trialLine();

// Each result line; an expected line that starts with "*" only has to be contained in it.
void expectLines(const QStringList &actual, const QStringList &expected) {
    const QString shown = u"\n  "_qs + actual.join(u"\n  "_qs);
    ASSERT_EQ(actual.size(), expected.size()) << shown.toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (expected.at(i).startsWith(u'*'))
            EXPECT_TRUE(actual.at(i).contains(expected.at(i).mid(1))) << i << shown.toStdString();
        else
            EXPECT_EQ(actual.at(i), expected.at(i)) << i << shown.toStdString();
    }
}

ScriptRunner::Callbacks recorder(QStringList &lines) {
    ScriptRunner::Callbacks callbacks;
    callbacks.appendLine = [&lines](const QString &line) { lines.append(line); };
    callbacks.storeSettings = [](const QString &, const QString &) {};
    return callbacks;
}

QString password(Access access) {
    return access == Access::Server ? FirebirdTestDatabase::serverPassword() : QString();
}

// What a trial must leave as it was.
QStringList snapshot(FirebirdTestDatabase &database) {
    QStringList state = database.column(
        u"select trim(rdb$relation_name) || ':' || coalesce(rdb$relation_type, 0) from rdb$relations "
        "where rdb$system_flag = 0 order by 1"_qs);
    state += database.column(
        u"select trim(rdb$index_name) || ':' || coalesce(rdb$unique_flag, 0) from rdb$indices "
        "where rdb$system_flag = 0 order by 1"_qs);
    state += database.column(u"select mon$backup_state from mon$database"_qs);
    return state;
}

// The files beside the database: a copy or a delta file left behind shows here.
QStringList filesBeside(const FirebirdTestDatabase &database) {
    const QString path = database.name().section(u':', -1);
    return QFileInfo(path).dir().entryList(QDir::Files);
}

class TrialTest : public testing::TestWithParam<Access> {
protected:
    void SetUp() override {
        if (GetParam() == Access::Server && !FirebirdTestDatabase::serverConfigured())
            GTEST_SKIP() << "BRISEL_FB_PASSWORD is not set";
        ASSERT_TRUE(m_state.isValid());
    }
    TrialCopyRegistry registry() const { return TrialCopyRegistry(m_state.path()); }

    QTemporaryDir m_state;
};

// The same script in the single-transaction run and in a trial: the lines each must report.
struct ModeCase {
    const char *name;
    QString setup;
    QString script;
    QStringList single; // after "Conectado com o banco de dados."
    QStringList trial;  // between the copy line and the trial line
    QString select;     // and its values after the single run
    QStringList values;
};

const QString createThenUse = u"CREATE TABLE NOVA (ID INTEGER NOT NULL, NOME VARCHAR(20));\n"
                              "COMMIT;\n"
                              "INSERT INTO NOVA (ID, NOME) VALUES (1, 'um');\n"
                              "ALTER TABLE T ADD OBS VARCHAR(10);\n"
                              "UPDATE T SET OBS = 'x' WHERE ID = 1;\n"_qs;

const ModeCase modeCases[] = {
    {"table_created_then_used",
     u"CREATE TABLE T (ID INTEGER);"_qs,
     createThenUse,
     {u"Linha 3: INSERT INTO NOVA (ID, NOME) VALUES (1, 'um')"_qs, u"*Table unknown"_qs,
      u"*A tabela NOVA é criada ou alterada por uma instrução anterior deste script"_qs,
      u"Linha 5: UPDATE T SET OBS = 'x' WHERE ID = 1"_qs, u"*Column unknown"_qs,
      u"*A coluna OBS é criada ou alterada"_qs, Commit},
     {Commit},
     u"select count(*) from nova"_qs,
     {u"0"_qs}},
    {"unique_index_over_duplicates",
     u"CREATE TABLE P (ID INTEGER); INSERT INTO P VALUES (1); INSERT INTO P VALUES (1);"_qs,
     u"INSERT INTO P VALUES (2);\nCREATE UNIQUE INDEX UQ_P ON P (ID);\nINSERT INTO P VALUES (3);\n"_qs,
     {Failed, u"*O commit não foi feito"_qs},
     {u"Linha 2: CREATE UNIQUE INDEX UQ_P ON P (ID)"_qs, u"*UQ_P"_qs, Commit},
     u"select count(*) from p"_qs,
     {u"2"_qs}},
    {"a_real_failure_is_reported_in_both",
     QString(),
     u"CREATE TABLE A (ID INTEGER);\nCOMMIT;\nINSERT INTO NENHUMA VALUES (1);\n"_qs,
     {u"Linha 3: INSERT INTO NENHUMA VALUES (1)"_qs, u"*NENHUMA"_qs, Commit},
     {u"Linha 3: INSERT INTO NENHUMA VALUES (1)"_qs, u"*NENHUMA"_qs, Commit},
     u"select count(*) from rdb$relations where rdb$relation_name = 'A'"_qs,
     {u"1"_qs}},
};

class TrialModesTest : public TrialTest {};

TEST_P(TrialModesTest, TrialTellsTheTruthAndLeavesTheDatabase) {
    for (const ModeCase &c : modeCases) {
        SCOPED_TRACE(c.name);
        FirebirdTestDatabase database(GetParam(), c.setup);
        ASSERT_TRUE(database.isValid()) << database.error().toStdString();
        const QStringList before = snapshot(database);
        const QStringList filesBefore = filesBeside(database);

        QStringList trialLines;
        ScriptTrial::Callbacks callbacks{recorder(trialLines)};
        const QList<ScriptTrial::Result> results =
            ScriptTrial(FirebirdClient::system(), registry())
                .run(database.name(), password(GetParam()), {{u"s.sql"_qs, c.script}}, callbacks);
        expectLines(trialLines, QStringList{C, Copy} + c.trial + QStringList{Trial});
        ASSERT_EQ(results.size(), 1);
        EXPECT_EQ(results.at(0).failureCount, c.trial.size() / 2);
        EXPECT_EQ(snapshot(database), before);
        EXPECT_EQ(filesBeside(database), filesBefore);
        EXPECT_TRUE(QDir(m_state.path()).isEmpty());

        QStringList singleLines;
        {
            ScriptRunner runner;
            runner.run(database.name(), password(GetParam()), c.script, recorder(singleLines));
        }
        expectLines(singleLines, QStringList{C} + c.single);
        EXPECT_EQ(database.column(c.select), c.values);
    }
}

INSTANTIATE_TEST_SUITE_P(Access, TrialModesTest, testing::Values(Access::Embedded, Access::Server));

class TrialSequenceTest : public TrialTest {};

// The queue's use: each script on the state the previous one left, one result per script.
TEST_P(TrialSequenceTest, ScriptsRunInOrderOnOneCopy) {
    FirebirdTestDatabase database(GetParam());
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    QStringList lines;
    QStringList progress;
    ScriptTrial::Callbacks callbacks{recorder(lines)};
    callbacks.scriptStarted = [&](int number, int count) {
        progress.append(u"%1/%2"_qs.arg(number).arg(count));
    };
    const QList<ScriptTrial::Result> results =
        ScriptTrial(FirebirdClient::system(), registry())
            .run(database.name(), password(GetParam()),
                 {{u"um.sql"_qs, u"CREATE TABLE Q (ID INTEGER NOT NULL PRIMARY KEY);"_qs},
                  {u"dois.sql"_qs, u"INSERT INTO Q VALUES (1);\nINSERT INTO Q VALUES (1);\n"_qs},
                  {u"tres.sql"_qs, u"ALTER TABLE Q ADD NOME VARCHAR(5);\nUPDATE Q SET NOME = 'a';\n"_qs}},
                 callbacks);
    EXPECT_EQ(progress, QStringList({u"1/3"_qs, u"2/3"_qs, u"3/3"_qs}));
    expectLines(lines,
                {C, Copy, ScriptTrial::scriptLine(1, 3, u"um.sql"_qs), Commit,
                 ScriptTrial::scriptLine(2, 3, u"dois.sql"_qs), u"Linha 2: INSERT INTO Q VALUES (1)"_qs,
                 u"*PRIMARY"_qs, Commit, ScriptTrial::scriptLine(3, 3, u"tres.sql"_qs), Commit, Trial});
    ASSERT_EQ(results.size(), 3);
    EXPECT_EQ(results.at(1).failureCount, 1);
    EXPECT_EQ(results.at(1).firstFailure.line, 2);
    EXPECT_EQ(results.at(2).failureCount, 0);
    EXPECT_EQ(database.column(u"select count(*) from rdb$relations where rdb$relation_name = 'Q'"_qs),
              QStringList({u"0"_qs}));
}

INSTANTIATE_TEST_SUITE_P(Access, TrialSequenceTest, testing::Values(Access::Embedded, Access::Server));

TEST(TrialCancel, StopsAfterTheStatementAndDropsTheCopy) {
    FirebirdTestDatabase database(Access::Embedded, u"CREATE TABLE T (A INTEGER);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    QTemporaryDir state;
    const QStringList filesBefore = filesBeside(database);
    Cancelamento stop;
    QStringList lines;
    ScriptTrial::Callbacks callbacks{recorder(lines)};
    callbacks.run.stop = &stop;
    callbacks.run.appendLine = [&](const QString &line) {
        lines.append(line);
        if (line.startsWith(u"Linha "_qs))
            stop.cancelar();
    };
    const QList<ScriptTrial::Result> results =
        ScriptTrial(FirebirdClient::system(), TrialCopyRegistry(state.path()))
            .run(database.name(), QString(),
                 {{u"a"_qs,
                   u"insert into t values (1);\ninsert into nada values (1);\ninsert into t values (2);"_qs},
                  {u"b"_qs, u"insert into t values (3);"_qs}},
                 callbacks);
    expectLines(lines,
                {C, Copy, ScriptTrial::scriptLine(1, 2, u"a"_qs), u"Linha 2: insert into nada values (1)"_qs,
                 u"*NADA"_qs, ScriptRunner::cancelledLine(), ScriptRunner::rolledBackLine(), Trial});
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(results.at(0).outcome, ScriptRunner::Outcome::Cancelled);
    EXPECT_EQ(filesBeside(database), filesBefore);
    EXPECT_TRUE(QDir(state.path()).isEmpty());
}

// Another user's attachment with work in progress is not disturbed, and the database is out of
// backup mode afterwards.
TEST(TrialConcurrency, AnotherAttachmentWithAnOpenTransactionGoesOn) {
    if (!FirebirdTestDatabase::serverConfigured())
        GTEST_SKIP() << "BRISEL_FB_PASSWORD is not set";
    FirebirdTestDatabase database(Access::Server, u"CREATE TABLE T (A INTEGER);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    QProcess other;
    other.start(u"isql-fb"_qs, {u"-q"_qs, database.name(), u"-user"_qs, u"SYSDBA"_qs, u"-password"_qs,
                                FirebirdTestDatabase::serverPassword()});
    ASSERT_TRUE(other.waitForStarted());
    other.write("insert into t values (1);\nselect 'inserted' from rdb$database;\n");
    ASSERT_TRUE(other.waitForReadyRead(20000));
    QTemporaryDir state;
    QStringList lines;
    ScriptTrial::Callbacks callbacks{recorder(lines)};
    ScriptTrial(FirebirdClient::system(), TrialCopyRegistry(state.path()))
        .run(database.name(), FirebirdTestDatabase::serverPassword(),
             {{u"s"_qs, u"insert into t values (5);"_qs}}, callbacks);
    expectLines(lines, {C, Copy, Commit, Trial});
    other.write("insert into t values (2);\ncommit;\nexit;\n");
    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(20000));
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    EXPECT_EQ(database.column(u"select a from t order by a"_qs), QStringList({u"1"_qs, u"2"_qs}));
    EXPECT_EQ(database.column(u"select mon$backup_state from mon$database"_qs), QStringList({u"0"_qs}));
    EXPECT_EQ(filesBeside(database), QStringList({u"test.fdb"_qs}));
}

// Two trials at once on one database (two windows): the second waits for the first one's copy.
TEST(TrialConcurrency, TwoTrialsAtOnceBothRun) {
    FirebirdTestDatabase database(Access::Embedded, u"CREATE TABLE T (A INTEGER);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    QTemporaryDir state;
    QStringList lines[2];
    const auto trial = [&](int i) {
        ScriptTrial(FirebirdClient::system(), TrialCopyRegistry(state.path()))
            .run(database.name(), QString(), {{u"s"_qs, u"insert into t values (1);"_qs}},
                 {recorder(lines[i])});
    };
    std::unique_ptr<QThread> other(QThread::create(trial, 1));
    other->start();
    trial(0);
    other->wait();
    for (const QStringList &each : lines)
        expectLines(each, {C, Copy, Commit, Trial});
    EXPECT_EQ(filesBeside(database), QStringList({u"test.fdb"_qs}));
}

// The server cannot write beside the database (no room, no rights): one sentence, no run, and
// nothing left behind.
TEST(TrialCopyFailure, CopyThatCannotBeMadeRunsNothing) {
    FirebirdTestDatabase database(Access::Embedded, u"CREATE TABLE T (A INTEGER);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    const QString folder = QFileInfo(database.name()).path();
    // Root writes anywhere: a folder that takes no new files is the way to refuse it.
    if (QProcess::execute(u"chattr"_qs, {u"+i"_qs, folder}) != 0)
        GTEST_SKIP() << "chattr +i is not available here";
    QTemporaryDir state;
    QStringList lines;
    ScriptTrial::Callbacks callbacks{recorder(lines)};
    const QList<ScriptTrial::Result> results =
        ScriptTrial(FirebirdClient::system(), TrialCopyRegistry(state.path()))
            .run(database.name(), QString(), {{u"s"_qs, u"insert into t values (1);"_qs}}, callbacks);
    QProcess::execute(u"chattr"_qs, {u"-i"_qs, folder});
    expectLines(lines, {C, ScriptTrial::copyFailedLine(), u"*"_qs});
    EXPECT_TRUE(results.isEmpty());
    EXPECT_EQ(filesBeside(database), QStringList({u"test.fdb"_qs}));
    EXPECT_TRUE(QDir(state.path()).isEmpty());
    EXPECT_EQ(database.column(u"select mon$backup_state from mon$database"_qs), QStringList({u"0"_qs}));
    EXPECT_EQ(database.column(u"select count(*) from t"_qs), QStringList({u"0"_qs}));
}

// A copy whose owner was killed is recognised through the registry and removed by the next start.
TEST(TrialLeftovers, CopiesOfEndedProcessesAreRemoved) {
    FirebirdTestDatabase database(Access::Embedded, u"CREATE TABLE T (A INTEGER);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    QTemporaryDir state;
    // An ended process: a shell that has exited.
    QProcess ended;
    ended.start(u"true"_qs);
    ASSERT_TRUE(ended.waitForFinished());
    const QString copy = QFileInfo(database.name()).path() + u"/brisel-ensaio-left.fdb"_qs;
    QProcess isql;
    isql.start(u"isql-fb"_qs, {u"-q"_qs});
    isql.write(u"CREATE DATABASE '%1' USER 'SYSDBA';\n"_qs.arg(copy).toUtf8());
    isql.closeWriteChannel();
    ASSERT_TRUE(isql.waitForFinished(20000));
    ASSERT_TRUE(QFileInfo::exists(copy));
    const auto writeEntry = [&](const QString &file, qint64 pid, const QString &copyName) {
        QFile entry(QDir(state.path()).filePath(file));
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write(u"[copia]\npid=%1\ninicio=1\nbanco=%2\ncopia=%3\nbloqueado=0\n"_qs.arg(pid)
                        .arg(database.name(), copyName)
                        .toUtf8());
    };
    writeEntry(u"1-1.ini"_qs, ended.processId(), copy);
    writeEntry(u"2-1.ini"_qs, ended.processId(), u"/nonexistent/brisel-ensaio-gone.fdb"_qs);
    // A live owner's copy is its own business.
    writeEntry(u"3-1.ini"_qs, QCoreApplication::applicationPid(), copy);
    EXPECT_EQ(
        TrialCopy::removeLeftovers(FirebirdClient::system(), TrialCopyRegistry(state.path()), QString()), 2);
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_EQ(filesBeside(database), QStringList({u"test.fdb"_qs}));
    EXPECT_EQ(QDir(state.path()).entryList(QDir::Files), QStringList({u"3-1.ini"_qs}));
}

} // namespace

namespace {

// The child of the next test: a trial that runs until it is killed.
TEST(TrialKilled, ChildRunsALongTrial) {
    const QString database = qEnvironmentVariable("BRISEL_TRIAL_CHILD_DB");
    if (database.isEmpty())
        GTEST_SKIP() << "started by TrialKilled.NextStartRemovesTheCopy";
    QStringList lines;
    ScriptTrial().run(
        database, QString(),
        {{u"long"_qs, u"EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 2000000000) DO "
                      "I = I + 1; END"_qs}},
        {recorder(lines)});
}

// kill -9 in the middle of a trial, then the program's next start: no copy is left.
TEST(TrialKilled, NextStartRemovesTheCopy) {
    FirebirdTestDatabase database(Access::Embedded, u"CREATE TABLE T (A INTEGER);"_qs);
    ASSERT_TRUE(database.isValid()) << database.error().toStdString();
    QTemporaryDir state;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_STATE_HOME"_qs, state.path());
    environment.insert(u"BRISEL_TRIAL_CHILD_DB"_qs, database.name());
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QFile::symLinkTarget(u"/proc/self/exe"_qs),
                {u"--gtest_filter=TrialKilled.ChildRunsALongTrial"_qs});
    ASSERT_TRUE(child.waitForStarted());
    // Killed once the copy is made and the script runs: the note says the database is out of backup mode.
    const QString notes = state.path() + u"/BriselScripts/ensaios"_qs;
    bool running = false;
    for (int i = 0; i < 300 && !running; ++i) {
        QThread::msleep(100);
        const QStringList entries = QDir(notes).entryList(QDir::Files);
        running =
            !entries.isEmpty() && filesBeside(database).size() == 2 &&
            IniFile(QDir(notes).filePath(entries.constFirst())).value(u"copia"_qs, u"bloqueado"_qs) == u"0";
    }
    child.kill();
    child.waitForFinished();
    ASSERT_TRUE(running) << filesBeside(database).join(u' ').toStdString();
    ASSERT_EQ(filesBeside(database).size(), 2); // the database and the copy

    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    const int removed =
        TrialCopy::removeLocalLeftovers(FirebirdClient::system(), TrialCopyRegistry::standard());
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(filesBeside(database), QStringList({u"test.fdb"_qs}));
    EXPECT_TRUE(QDir(notes).isEmpty());
    EXPECT_EQ(database.column(u"select mon$backup_state from mon$database"_qs), QStringList({u"0"_qs}));
}

} // namespace
