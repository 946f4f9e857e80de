// Comparing two 5 MB scripts as the comparison window does (lines split, line and word diff),
// against GNU diff(1) on the same two files; and the word-level Myers search against a plain
// dynamic-programming longest common subsequence on a short input.
#include "bench/RatioReporter.h"
#include "diff/SequenceDiff.h"
#include "diff/TextComparison.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct Par {
    QString antes, depois;
};

// About 5 MB of INSERTs, UPDATEs and blocks that repeat "BEGIN"/"END;", and the same script after
// a few hundred scattered edits: words changed, lines added and lines removed.
const Par &scripts() {
    static const Par par = [] {
        QStringList linhas;
        qsizetype tamanho = 0;
        for (int i = 0; tamanho < 5 * 1000 * 1000; ++i) {
            QString linha;
            switch (i % 5) {
            case 0:
                linha = QStringLiteral(
                            "INSERT INTO CLIENTE (ID, NOME, CIDADE) VALUES (%1, 'Cliente %1', 'Cidade %2');")
                            .arg(i)
                            .arg(i % 97);
                break;
            case 1:
                linha =
                    QStringLiteral("UPDATE PEDIDO SET SITUACAO = 'F', VALOR = VALOR * 1.%1 WHERE ID = %2;")
                        .arg(i % 10)
                        .arg(i);
                break;
            case 2:
                linha = QStringLiteral("BEGIN");
                break;
            case 3:
                linha = QStringLiteral("  DELETE FROM ITEM WHERE PEDIDO = %1;").arg(i);
                break;
            default:
                linha = QStringLiteral("END;");
            }
            tamanho += linha.size() + 2;
            linhas.append(linha);
        }
        QStringList depois = linhas;
        std::mt19937 aleatorio(5);
        for (int e = 0; e < 300; ++e) {
            const qsizetype k = qsizetype(aleatorio() % std::uint32_t(depois.size()));
            switch (e % 3) {
            case 0:
                depois[k].replace(QLatin1String("CLIENTE"), QLatin1String("CLIENTES"));
                depois[k] += QStringLiteral(" -- revisto");
                break;
            case 1:
                depois.insert(k, QStringLiteral("COMMIT;"));
                break;
            default:
                depois.removeAt(k);
            }
        }
        return Par{linhas.join(QStringLiteral("\r\n")), depois.join(QStringLiteral("\r\n"))};
    }();
    return par;
}

void CompararBrisel(benchmark::State &state) {
    const Par &par = scripts();
    for (auto _ : state) {
        const TextComparison c =
            TextComparison::comparar(TextComparison::linhas(par.antes), TextComparison::linhas(par.depois));
        benchmark::DoNotOptimize(c.diferencas().size());
    }
    state.counters["MB"] = double(par.antes.size() + par.depois.size()) / 1e6;
}
BENCHMARK(CompararBrisel)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The worst case: every line differs (a script rewritten), so every line pair is compared word
// by word.
void CompararTudoDiferente(benchmark::State &state) {
    const Par &par = scripts();
    const QString depois = par.antes.toLower();
    for (auto _ : state) {
        const TextComparison c =
            TextComparison::comparar(TextComparison::linhas(par.antes), TextComparison::linhas(depois));
        benchmark::DoNotOptimize(c.diferencas().size());
    }
}
BENCHMARK(CompararTudoDiferente)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void CompararGnuDiff(benchmark::State &state) {
    QTemporaryDir pasta;
    const QString antes = pasta.filePath(QStringLiteral("antes.sql")),
                  depois = pasta.filePath(QStringLiteral("depois.sql"));
    for (const auto &[caminho, texto] :
         {std::pair{antes, scripts().antes}, std::pair{depois, scripts().depois}}) {
        QFile f(caminho);
        if (!f.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the scripts");
            return;
        }
        f.write(texto.toLatin1());
    }
    for (auto _ : state) {
        QProcess diff;
        diff.setStandardOutputFile(QProcess::nullDevice());
        diff.start(QStringLiteral("diff"), {antes, depois});
        // diff exits 1 when the files differ.
        if (!diff.waitForFinished(60000) || diff.exitCode() != 1) {
            state.SkipWithError("diff(1) did not run");
            return;
        }
    }
}
BENCHMARK(CompararGnuDiff)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// Two lines of about 60 words each with a few changed.
std::pair<std::vector<int>, std::vector<int>> palavras() {
    std::mt19937 aleatorio(3);
    std::vector<int> a, b;
    for (int i = 0; i < 120; ++i)
        a.push_back(int(aleatorio() % 30));
    b = a;
    for (int e = 0; e < 8; ++e)
        b[aleatorio() % b.size()] = int(aleatorio() % 30);
    return {a, b};
}

void PalavrasMyers(benchmark::State &state) {
    const auto [a, b] = palavras();
    for (auto _ : state)
        benchmark::DoNotOptimize(SequenceDiff::minimos(a, b).size());
}
BENCHMARK(PalavrasMyers);

void PalavrasLcsSimples(benchmark::State &state) {
    const auto [a, b] = palavras();
    for (auto _ : state) {
        std::vector<std::vector<int>> t(a.size() + 1, std::vector<int>(b.size() + 1, 0));
        for (std::size_t i = 1; i <= a.size(); ++i)
            for (std::size_t j = 1; j <= b.size(); ++j)
                t[i][j] = a[i - 1] == b[j - 1] ? t[i - 1][j - 1] + 1 : std::max(t[i - 1][j], t[i][j - 1]);
        benchmark::DoNotOptimize(t[a.size()][b.size()]);
    }
}
BENCHMARK(PalavrasLcsSimples);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        {{"CompararBrisel/min_time:2.000/real_time", "CompararGnuDiff/min_time:2.000/real_time"},
         {"PalavrasMyers", "PalavrasLcsSimples"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
