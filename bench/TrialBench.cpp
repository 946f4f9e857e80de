// The trial on a disposable copy against what it stands in for, as ratios from the same run (counters), on a
// database of about 165 MB made here: a one-statement trial against a plain copy of the file (the copy is
// most of its cost; the aim is at most 4 copies and half a second), and a 20,000-statement trial against the
// single run of the same script plus a copy (the aim is at most 1.2 times that), and the trial of an upload
// queue of 200 small scripts against a plain copy plus the 200 runs one after another on a copy made
// beforehand (the aim is at most the copy plus 1.2 times the runs).
#include "scripts/EnsaioFila.h"
#include "validation/ScriptRunner.h"
#include "validation/ScriptTrial.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Rows of five random UUIDs (which no page compression shrinks): about 165 MB in all.
const char bigDatabaseSql[] =
    "CREATE DATABASE '%1' USER 'SYSDBA' PAGE_SIZE 8192;\n"
    "CREATE TABLE BIG (ID INTEGER NOT NULL PRIMARY KEY, S VARCHAR(200));\n"
    "CREATE TABLE T (A INTEGER NOT NULL PRIMARY KEY, S VARCHAR(40));\n"
    "COMMIT;\n"
    "SET TERM ^;\n"
    "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 640000) DO BEGIN\n"
    "  INSERT INTO BIG VALUES (:I, UUID_TO_CHAR(GEN_UUID()) || UUID_TO_CHAR(GEN_UUID()) ||\n"
    "    UUID_TO_CHAR(GEN_UUID()) || UUID_TO_CHAR(GEN_UUID()) || UUID_TO_CHAR(GEN_UUID()));\n"
    "  I = I + 1; END END^\n"
    "SET TERM ;^\n"
    "COMMIT;\n";

class BigDatabase {
public:
    BigDatabase() : m_path(m_dir.filePath(QStringLiteral("big.fdb"))) {
        QProcess isql;
        isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q")});
        isql.write(QString::fromLatin1(bigDatabaseSql).arg(m_path).toUtf8());
        isql.closeWriteChannel();
        m_valid = isql.waitForFinished(600000) && isql.exitCode() == 0;
    }
    bool valid() const { return m_valid; }
    const QString &path() const { return m_path; }
    QString scratch(const QString &name) const { return m_dir.filePath(name); }

    // The plain copy the trial is measured against, in seconds.
    double copySeconds() const {
        const QString target = scratch(QStringLiteral("plain-copy.fdb"));
        QElapsedTimer timer;
        timer.start();
        const bool copied = QFile::copy(m_path, target);
        const double seconds = timer.nsecsElapsed() / 1e9;
        QFile::remove(target);
        return copied ? seconds : -1;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_valid = false;
};

BigDatabase &bigDatabase() {
    static BigDatabase database;
    return database;
}

ScriptTrial::Callbacks quiet() {
    return {{[](const QString &) {}, [](const QString &, const QString &) {}}};
}

// Manual time is the trial's; the counters give the copy's and the trial over the aim.
void OneStatementTrialVersusCopy(benchmark::State &state) {
    const BigDatabase &database = bigDatabase();
    if (!database.valid()) {
        state.SkipWithError("cannot make the database with isql-fb");
        return;
    }
    double trials = 0;
    double copies = 0;
    for (auto _ : state) {
        const double copy = database.copySeconds();
        QElapsedTimer timer;
        timer.start();
        const QList<ScriptTrial::Result> results =
            ScriptTrial().run(database.path(), QString(),
                              {{QString(), QStringLiteral("UPDATE T SET S = 'x' WHERE A = 1")}}, quiet());
        const double trial = timer.nsecsElapsed() / 1e9;
        if (copy < 0 || results.size() != 1 || results.constFirst().failureCount != 0) {
            state.SkipWithError("the copy or the trial failed");
            return;
        }
        state.SetIterationTime(trial);
        trials += trial;
        copies += copy;
    }
    const double rounds = double(state.iterations());
    state.counters["copy_s"] = copies / rounds;
    state.counters["trial_s"] = trials / rounds;
    state.counters["trial_over_4copies_plus_half_s"] = (trials / rounds) / (4 * copies / rounds + 0.5);
}
BENCHMARK(OneStatementTrialVersusCopy)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

QString insertScript(int count) {
    QString script;
    for (int i = 1; i <= count; ++i)
        script += QStringLiteral("INSERT INTO T (A, S) VALUES (%1, 'linha %1');\n").arg(i);
    return script;
}

// Manual time is the trial's; the counters give the single run's on a scratch copy (made
// untimed) and the plain copy's, and the trial over their sum.
void Trial20000VersusSingleRunAndCopy(benchmark::State &state) {
    const BigDatabase &database = bigDatabase();
    if (!database.valid()) {
        state.SkipWithError("cannot make the database with isql-fb");
        return;
    }
    const QString script = insertScript(20000);
    double trials = 0;
    double singles = 0;
    double copies = 0;
    int round = 0;
    for (auto _ : state) {
        const QString scratch = database.scratch(QStringLiteral("single%1.fdb").arg(round++));
        if (!QFile::copy(database.path(), scratch)) {
            state.SkipWithError("cannot copy the database");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        ScriptRunner::Outcome outcome;
        {
            ScriptRunner runner;
            outcome = runner.run(scratch, QString(), script, quiet().run);
        }
        const double single = timer.nsecsElapsed() / 1e9;
        QFile::remove(scratch);
        const double copy = database.copySeconds();
        timer.restart();
        const QList<ScriptTrial::Result> results =
            ScriptTrial().run(database.path(), QString(), {{QString(), script}}, quiet());
        const double trial = timer.nsecsElapsed() / 1e9;
        if (outcome != ScriptRunner::Outcome::Committed || copy < 0 || results.size() != 1 ||
            results.constFirst().failureCount != 0) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(trial);
        trials += trial;
        singles += single;
        copies += copy;
    }
    state.counters["single_s"] = singles / round;
    state.counters["copy_s"] = copies / round;
    state.counters["trial_s"] = trials / round;
    state.counters["trial_over_single_plus_copy"] = trials / (singles + copies);
}
BENCHMARK(Trial20000VersusSingleRunAndCopy)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Manual time is the queue's trial; the counters give the plain copy's and the 200 runs' on a scratch copy
// (made untimed), each run attaching as a validation does, and the trial over the copy plus 1.2 times the
// runs.
void QueueTrial200VersusCopyAndRuns(benchmark::State &state) {
    const BigDatabase &database = bigDatabase();
    if (!database.valid()) {
        state.SkipWithError("cannot make the database with isql-fb");
        return;
    }
    QList<EnsaioFila::Arquivo> fila;
    for (int i = 1; i <= 200; ++i)
        fila.append({QStringLiteral("/fila/%1.sql").arg(i, 3, 10, QLatin1Char('0')),
                     QStringLiteral("INSERT INTO T (A, S) VALUES (%1, 'linha %1');\r\n"
                                    "UPDATE T SET S = 'alterada' WHERE A = %1;\r\n")
                         .arg(i)
                         .toLatin1()});
    double trials = 0;
    double runs = 0;
    double copies = 0;
    int round = 0;
    for (auto _ : state) {
        const QString scratch = database.scratch(QStringLiteral("queue%1.fdb").arg(round++));
        if (!QFile::copy(database.path(), scratch)) {
            state.SkipWithError("cannot copy the database");
            return;
        }
        bool ran = true;
        QElapsedTimer timer;
        timer.start();
        for (const EnsaioFila::Arquivo &arquivo : fila) {
            ScriptRunner runner;
            ran &= runner.run(scratch, QString(), QString::fromLatin1(arquivo.script), quiet().run) ==
                       ScriptRunner::Outcome::Committed &&
                   runner.failureCount() == 0;
        }
        const double run = timer.nsecsElapsed() / 1e9;
        QFile::remove(scratch);
        const double copy = database.copySeconds();
        timer.restart();
        const QList<EnsaioFila::Resultado> results =
            EnsaioFila().Ensaiar(database.path(), QString(), fila, {});
        const double trial = timer.nsecsElapsed() / 1e9;
        for (const EnsaioFila::Resultado &r : results)
            ran &= r.executado && !r.falhou();
        if (!ran || copy < 0 || results.size() != fila.size()) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(trial);
        trials += trial;
        runs += run;
        copies += copy;
    }
    state.counters["runs_s"] = runs / round;
    state.counters["copy_s"] = copies / round;
    state.counters["trial_s"] = trials / round;
    state.counters["trial_over_copy_plus_1_2_runs"] = trials / (copies + 1.2 * runs);
}
BENCHMARK(QueueTrial200VersusCopyAndRuns)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
