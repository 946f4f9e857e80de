// The validation window against the command-line runner (`brisel-scripts-cli validate`) on the
// same script: 5 MB, 20,000 statements that all fail, each run against a fresh embedded database
// of the same kind. The window runs offscreen, shown, from "Executar" to the end of the run with
// every result line in its result box.
#include "bench/RatioReporter.h"
#include "validation/TfrmValidarScript.h"

#include <benchmark/benchmark.h>

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

const int statements = 20000;

// About 250 characters a statement, accents included (sent as Windows-1252).
const QString &failingScript() {
    static const QString script = [] {
        QString text;
        for (int i = 1; i <= statements; ++i) {
            QString statement =
                QStringLiteral("INSERT INTO CLIENTE_INEXISTENTE (ID, NOME, CIDADE, OBSERVACAO) VALUES "
                               "(%1, 'Cliente número %1 — São João', 'Ribeirão Preto', "
                               "'observação: ação e coração")
                    .arg(i);
            statement += QString(245 - statement.size(), u'.') + QStringLiteral("');\n");
            text += statement;
        }
        return text;
    }();
    return script;
}

bool createDatabase(const QString &path) {
    QProcess isql;
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q")});
    isql.write(QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA';\nCOMMIT;\n").arg(path).toUtf8());
    isql.closeWriteChannel();
    return isql.waitForFinished(120000) && isql.exitCode() == 0;
}

int reports(const QString &output) {
    return int(output.count(QStringLiteral("\nLinha ")));
}

class Fixture {
public:
    Fixture() : m_script(m_dir.filePath(QStringLiteral("falhas.sql"))) {
        QFile file(m_script);
        m_ok = file.open(QIODevice::WriteOnly) && file.write(failingScript().toUtf8()) > 0;
    }
    bool ok() const { return m_ok; }
    const QString &scriptFile() const { return m_script; }
    QString ini() const { return m_dir.filePath(QStringLiteral("parametros.ini")); }
    QString newDatabase() {
        const QString path = m_dir.filePath(QStringLiteral("db%1.fdb").arg(++m_databases));
        return createDatabase(path) ? path : QString();
    }

private:
    QTemporaryDir m_dir;
    QString m_script;
    bool m_ok = false;
    int m_databases = 0;
};

// The counter `longest_pause_ms` is the longest the window's thread went without serving a 10 ms
// timer during a run: how long the user would wait at worst for the screen to answer.
void ValidationWindow(benchmark::State &state) {
    Fixture fixture;
    qint64 longestPause = 0;
    for (auto _ : state) {
        const QString database = fixture.newDatabase();
        if (!fixture.ok() || database.isEmpty()) {
            state.SkipWithError("cannot write the script or create the database");
            return;
        }
        TfrmValidarScript window(fixture.ini());
        window.show();
        window.findChild<QLineEdit *>(QStringLiteral("edtBanco"))->setText(database);
        window.findChild<QsciScintilla *>(QStringLiteral("edtScript"))->setText(failingScript());
        QEventLoop loop;
        QObject::connect(&window, &TfrmValidarScript::execucaoConcluida, &loop, &QEventLoop::quit);
        QElapsedTimer sinceTick;
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout,
                         [&] { longestPause = std::max(longestPause, sinceTick.restart()); });
        QElapsedTimer timer;
        timer.start();
        sinceTick.start();
        ticks.start(10);
        window.findChild<QToolButton *>(QStringLiteral("btExecutar"))->click();
        loop.exec();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        ticks.stop();
        const QString result =
            window.findChild<QPlainTextEdit *>(QStringLiteral("memResultado"))->toPlainText();
        if (reports(result) != statements || !result.endsWith(QStringLiteral("Commit efetuado."))) {
            state.SkipWithError("the window's run did not report every statement");
            return;
        }
    }
    state.counters["longest_pause_ms"] = double(longestPause);
}
BENCHMARK(ValidationWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void CommandLineRunner(benchmark::State &state) {
    Fixture fixture;
    for (auto _ : state) {
        const QString database = fixture.newDatabase();
        if (!fixture.ok() || database.isEmpty()) {
            state.SkipWithError("cannot write the script or create the database");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        QProcess cli;
        cli.start(QStringLiteral(BRISEL_CLI),
                  {QStringLiteral("validate"), QStringLiteral("--database"), database, fixture.scriptFile()});
        QByteArray output;
        while (cli.state() != QProcess::NotRunning || cli.bytesAvailable() > 0) {
            cli.waitForReadyRead(100);
            output += cli.readAllStandardOutput();
        }
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (reports(QString::fromUtf8(output)) != statements) {
            state.SkipWithError("the command-line run did not report every statement");
            return;
        }
    }
}
BENCHMARK(CommandLineRunner)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(std::vector<std::pair<std::string, std::string>>{
        {"ValidationWindow/iterations:3/manual_time", "CommandLineRunner/iterations:3/manual_time"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
