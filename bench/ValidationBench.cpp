// Script validation speed: the splitter alone (MB/s) and the preparation beside it; the
// preparation on text built to make a remove-until-none-is-left loop quadratic, against such a
// loop; and a 20,000-INSERT run against `isql-fb -i` on the same script and an embedded database
// of the same kind.
#include "bench/RatioReporter.h"
#include "tests/validation/PreparationByTheRules.h"
#include "validation/ScriptPreparation.h"
#include "validation/ScriptRunner.h"
#include "validation/ScriptSplitter.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>

namespace {

// A mix of what real scripts hold: DML with strings and comments, DDL with parentheses,
// and program units under both terminators.
QString splitterScript(qsizetype targetSize) {
    const QString block = QStringLiteral(
        "-- customer data fix\r\n"
        "INSERT INTO CLIENTE (ID, NOME, OBS) VALUES (1, 'Jo''ao; da Silva', 'x');\r\n"
        "UPDATE CLIENTE SET NOME = 'A' /* comment; */ WHERE ID IN (SELECT ID FROM T WHERE (A > 1));\r\n"
        "CREATE TABLE T_%1 (ID INTEGER NOT NULL, VALOR NUMERIC(15, 2), CONSTRAINT PK_T PRIMARY KEY (ID));\r\n"
        "CREATE OR ALTER PROCEDURE P_X (A INTEGER) AS\r\nBEGIN\r\n  INSERT INTO T VALUES (:A);\r\n"
        "  UPDATE T SET B = 1;\r\nEND\r\n/\r\n"
        "SET TERM ^ ;\r\nEXECUTE BLOCK AS BEGIN\r\n  DELETE FROM T; /* ; */\r\nEND^\r\nSET TERM ; ^\r\n");
    QString script;
    script.reserve(targetSize + block.size());
    for (int i = 0; script.size() < targetSize; ++i)
        script += block.arg(i);
    return script;
}

const QString &largeScript() {
    static const QString script = splitterScript(50 * 1000 * 1000);
    return script;
}

void SplitterThroughput(benchmark::State &state) {
    const QString &script = largeScript();
    qsizetype statements = 0;
    for (auto _ : state) {
        ScriptSplitter splitter(script);
        QStringView statement;
        while (splitter.next(statement))
            ++statements;
        benchmark::DoNotOptimize(statements);
    }
    // One byte per character: scripts are single-byte Windows-1252 text.
    state.SetBytesProcessed(state.iterations() * script.size());
}
BENCHMARK(SplitterThroughput)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void PreparationThroughput(benchmark::State &state) {
    const QString &script = largeScript();
    for (auto _ : state)
        benchmark::DoNotOptimize(ScriptPreparation::prepare(script).text.size());
    state.SetBytesProcessed(state.iterations() * script.size());
}
BENCHMARK(PreparationThroughput)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// "COM" n times, "COMMIT;", "MIT;" n times: each round of a remove-until-none-is-left loop over
// the whole text takes out only the one occurrence that the previous round joined together.
QString nestedCommits(qsizetype bytes) {
    const qsizetype n = (bytes - 7) / 7;
    return QStringLiteral("COM").repeated(n) + QStringLiteral("COMMIT;") +
           QStringLiteral("MIT;").repeated(n) + QStringLiteral("select 1 from rdb$database;");
}

void PreparationNested(benchmark::State &state) {
    const QString script = nestedCommits(state.range(0) * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(ScriptPreparation::prepare(script).text.size());
    state.SetBytesProcessed(state.iterations() * script.size());
}
BENCHMARK(PreparationNested)->Arg(56)->Arg(224)->Unit(benchmark::kMillisecond);

void PreparationNestedByTheRules(benchmark::State &state) {
    const QString script = nestedCommits(state.range(0) * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(preparationByTheRules(script).text.size());
    state.SetBytesProcessed(state.iterations() * script.size());
}
// 56 KB: a quarter of the 224 KB that takes such a loop some 40 s.
BENCHMARK(PreparationNestedByTheRules)->Arg(56)->Unit(benchmark::kMillisecond)->Iterations(1);

QString insertScript(int count) {
    QString script;
    for (int i = 1; i <= count; ++i)
        script += QStringLiteral("INSERT INTO T (A, S) VALUES (%1, 'linha %1');\n").arg(i);
    script += QStringLiteral("COMMIT;\n");
    return script;
}

bool isql(const QStringList &arguments, const QByteArray &input = {}) {
    QProcess process;
    process.start(QStringLiteral("isql-fb"), arguments);
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(600000) && process.exitCode() == 0;
}

bool createDatabase(const QString &path) {
    return isql({QStringLiteral("-q")}, QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA';\n"
                                                       "CREATE TABLE T (A INTEGER NOT NULL PRIMARY KEY, "
                                                       "S VARCHAR(40));\nCOMMIT;\n")
                                            .arg(path)
                                            .toUtf8());
}

// Manual time is ours; the counters give isql's time and the ratio ours / isql.
void Insert20000VersusIsql(benchmark::State &state) {
    const QString script = insertScript(20000);
    QTemporaryDir dir;
    const QString scriptFile = dir.filePath(QStringLiteral("inserts.sql"));
    QFile file(scriptFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(script.toLatin1()) < 0) {
        state.SkipWithError("cannot write the script");
        return;
    }
    file.close();
    double oursTotal = 0;
    double isqlTotal = 0;
    int round = 0;
    for (auto _ : state) {
        const QString oursDb = dir.filePath(QStringLiteral("ours%1.fdb").arg(round));
        const QString isqlDb = dir.filePath(QStringLiteral("isql%1.fdb").arg(round));
        ++round;
        if (!createDatabase(oursDb) || !createDatabase(isqlDb)) {
            state.SkipWithError("cannot create the databases with isql-fb");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        ScriptRunner::Outcome outcome;
        {
            ScriptRunner runner;
            ScriptRunner::Callbacks callbacks{[](const QString &) {},
                                              [](const QString &, const QString &) {}};
            outcome = runner.run(oursDb, QString(), script, callbacks);
        }
        const double ours = timer.nsecsElapsed() / 1e9;
        timer.restart();
        const bool isqlOk = isql({QStringLiteral("-q"), QStringLiteral("-i"), scriptFile, isqlDb,
                                  QStringLiteral("-user"), QStringLiteral("SYSDBA")});
        const double theirs = timer.nsecsElapsed() / 1e9;
        if (outcome != ScriptRunner::Outcome::Committed || !isqlOk) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(ours);
        oursTotal += ours;
        isqlTotal += theirs;
    }
    state.counters["isql_s"] = isqlTotal / round;
    state.counters["ours_s"] = oursTotal / round;
    state.counters["ours_over_isql"] = oursTotal / isqlTotal;
}
BENCHMARK(Insert20000VersusIsql)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(std::vector<std::pair<std::string, std::string>>{
        {"PreparationThroughput/min_time:2.000", "SplitterThroughput/min_time:2.000"},
        // How many times longer the loop takes than one pass (the pass is too fast for two decimals).
        {"PreparationNestedByTheRules/56/iterations:1", "PreparationNested/56"},
        {"PreparationNestedByTheRules/56/iterations:1", "PreparationNested/224"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
