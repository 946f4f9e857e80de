// Reading one page of the script search reply: 500 records, each with a 16,000-digit
// hexadecimal script, from the reply's bytes. Our reader (UTF-8 decoding included) against
// nlohmann::json on the same bytes, in the same run.
#include "bench/RatioReporter.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>

namespace {

QByteArray searchPage() {
    static const char digits[] = "0123456789ABCDEF";
    std::uint32_t seed = 12345;
    QByteArray page = "[";
    for (int record = 0; record < 500; ++record) {
        QByteArray script;
        script.reserve(16000);
        for (int i = 0; i < 16000; ++i) {
            seed = seed * 1103515245u + 12345u;
            script += digits[(seed >> 16) & 15];
        }
        if (record > 0)
            page += ',';
        page += "{\"CODIGO_SC\":" + QByteArray::number(1000 + record) +
                ",\"DATA_CRIACAO_SC\":\"01/05/2024 10:15:00\",\"NOME_ARQUIVO_SC\":\"script_" +
                QByteArray::number(record) + ".sql\",\"SCRIPT_SC\":\"" + script + "\"}";
    }
    page += ']';
    return page;
}

const QByteArray &page() {
    static const QByteArray bytes = searchPage();
    return bytes;
}

void JsonPageBrisel(benchmark::State &state) {
    for (auto _ : state) {
        const json::TJSONArray records(QString::fromUtf8(page()));
        benchmark::DoNotOptimize(records.getJSONObject(records.length() - 1));
    }
    state.SetBytesProcessed(state.iterations() * page().size());
}
BENCHMARK(JsonPageBrisel)->Unit(benchmark::kMillisecond);

void JsonPageNlohmann(benchmark::State &state) {
    for (auto _ : state) {
        const nlohmann::json records = nlohmann::json::parse(page().cbegin(), page().cend());
        benchmark::DoNotOptimize(&records.back());
    }
    state.SetBytesProcessed(state.iterations() * page().size());
}
BENCHMARK(JsonPageNlohmann)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(
        std::vector<std::pair<std::string, std::string>>{{"JsonPageBrisel", "JsonPageNlohmann"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
