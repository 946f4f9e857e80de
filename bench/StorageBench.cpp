// Uploads of 16 KB scripts through the program's client (Protocolo::Inserir, one connection per
// uploader) to the reference service on each of its storages, measured against peers in the same
// process:
//  - PostgreSQL, 8 uploaders at once against 1 uploader: concurrent commits share the disk's
//    syncs, so 8 should store at least twice the scripts per second (time ratio <= 0.5);
//  - PostgreSQL against SQLite (a database file), 1 uploader each (time ratio <= 1.25), and the
//    SQLite figure for 8 uploaders beside it.
// Each run stores the same number of scripts. The PostgreSQL database is a fresh one on the
// cluster $BRISEL_TEST_PG_URI names (tools/postgres-test-server.sh start prints it).
#include "bench/RatioReporter.h"
#include "service/Conexao.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "tests/support/BancoPostgresTeste.h"
#include "tests/support/TestServer.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <curl/curl.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

constexpr int ScriptsPorRodada = 400;
const QDateTime Data(QDate(2024, 5, 1), QTime(10, 0));

const QByteArray &script16k() {
    static const QByteArray script = [] {
        QByteArray s;
        for (int id = 0; s.size() < 16 * 1024; ++id)
            s += "INSERT INTO LOTE (ID, TEXTO) VALUES (" + QByteArray::number(id) + ", 'carga de teste');\n";
        return s.left(16 * 1024);
    }();
    return script;
}

// The service on a PostgreSQL database and on a SQLite file, started once for all runs.
struct Servicos {
    Servicos()
        : postgres({QStringLiteral("DEV:senha")}, {QStringLiteral("--db"), banco.uri()}),
          sqlite({QStringLiteral("DEV:senha")},
                 {QStringLiteral("--db"), dir.filePath(QStringLiteral("bench.db"))}) {}
    BancoPostgresTeste banco;
    QTemporaryDir dir;
    TestServer postgres;
    TestServer sqlite;
};

Servicos &servicos() {
    static Servicos s;
    return s;
}

// One uploader: its own connection and session.
struct Envio {
    Envio() {
        sessao.setChave(Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha")).chave);
    }
    Conexao conexao;
    Sessao sessao{conexao};
};

void Enviar(benchmark::State &state, const TestServer &servidor) {
    const int uploaders = int(state.range(0));
    qputenv("BRISEL_SERVICE_URL", servidor.rootUrl().toUtf8());
    std::vector<std::unique_ptr<Envio>> envios;
    for (int i = 0; i < uploaders; ++i)
        envios.push_back(std::make_unique<Envio>());
    std::atomic<bool> recusado = false;
    for (auto _ : state) {
        std::vector<std::thread> threads;
        for (int u = 0; u < uploaders; ++u)
            threads.emplace_back([&, u] {
                for (int i = u; i < ScriptsPorRodada && !recusado; i += uploaders) {
                    const auto envelope =
                        Protocolo::Inserir(envios[u]->sessao, Data, QStringLiteral("s%1.sql").arg(i),
                                           QStringLiteral("KOR"), script16k());
                    if (!envelope || !envelope->success)
                        recusado = true;
                }
            });
        for (std::thread &t : threads)
            t.join();
    }
    if (recusado)
        state.SkipWithError("the service refused a script");
    state.counters["scripts/s"] =
        benchmark::Counter(double(state.iterations()) * ScriptsPorRodada, benchmark::Counter::kIsRate);
}

void Postgres(benchmark::State &state) {
    Enviar(state, servicos().postgres);
}

void Sqlite(benchmark::State &state) {
    Enviar(state, servicos().sqlite);
}

} // namespace

BENCHMARK(Postgres)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(Sqlite)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("BRISEL_BUILD_DIR"))
        qputenv("BRISEL_BUILD_DIR", BRISEL_BUILD_DIR_PADRAO);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    try {
        servicos();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "storage_bench: %s\n", e.what());
        return 1;
    }
    const std::string postgres1 = "Postgres/1/iterations:3/real_time";
    const std::string postgres8 = "Postgres/8/iterations:3/real_time";
    const std::string sqlite1 = "Sqlite/1/iterations:3/real_time";
    const std::string sqlite8 = "Sqlite/8/iterations:3/real_time";
    RatioReporter reporter(
        {{postgres8, postgres1}, {postgres1, sqlite1}, {sqlite8, sqlite1}, {postgres8, sqlite8}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
