// Uploading 1,000 scripts of 16 KB, each run measured against peers in the same process:
//  - ClienteNoServico: the program's client (Protocolo::Inserir over Conexao) against the
//    reference service, its database in a file;
//  - CurlNoServico: the same bodies posted by bare libcurl to the reference service;
//  - CurlNoServidorVazio: the same bodies posted by bare libcurl to a cpp-httplib server that
//    reads them and stores nothing;
//  - GravarNoBanco: the service's storage alone, writing the same scripts into a file: what
//    each insert waits for once the request has been read (its commit reaches the disk);
//  - GravarNoDisco: the disk alone, appending as much per insert and waiting for it.
#include "bench/RatioReporter.h"
#include "server/Armazenamento.h"
#include "service/CamposRequisicao.h"
#include "service/Conexao.h"
#include "service/Enderecos.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "tests/support/TestServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <curl/curl.h>
#include <httplib.h>

#include <memory>
#include <thread>

#include <unistd.h>

namespace {

constexpr int Scripts = 1000;
const QDateTime Data(QDate(2024, 5, 1), QTime(10, 0));

QList<QByteArray> &scripts() {
    static QList<QByteArray> lista = [] {
        QList<QByteArray> l;
        const QByteArray linha = "UPDATE ESTOQUE SET QUANTIDADE = QUANTIDADE - 1 WHERE PRODUTO = 4711;\r\n";
        for (int i = 0; i < Scripts; ++i)
            l << ("-- " + QByteArray::number(i) + "\r\n" + linha.repeated(16 * 1024 / linha.size() + 1))
                     .left(16 * 1024);
        return l;
    }();
    return lista;
}

// The reference service over a database file, logged in as the client would be.
struct Servico {
    Servico()
        : servidor({QStringLiteral("DEV:senha")},
                   {QStringLiteral("--db"), dir.filePath(QStringLiteral("bench.db"))}) {
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl().toUtf8());
        sessao.setChave(Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha")).chave);
        for (int i = 0; i < Scripts; ++i)
            corpos << Protocolo::CamposInserir(Data, QStringLiteral("s%1.sql").arg(i), QStringLiteral("KOR"),
                                               scripts()[i], sessao.chave())
                          .codificar();
    }
    QTemporaryDir dir;
    TestServer servidor;
    Conexao conexao;
    Sessao sessao{conexao};
    QList<QByteArray> corpos; // the /inserir bodies the client sends
};

Servico &servico() {
    static Servico s;
    return s;
}

// A cpp-httplib server that reads each body and answers success without keeping anything (with
// a content reader, as the service does: a form body past 8 KB is otherwise refused).
struct ServidorVazio {
    ServidorVazio() {
        servidor.Post(
            "/services/index.php/scripts/inserir",
            [](const httplib::Request &, httplib::Response &res, const httplib::ContentReader &leitor) {
                std::string corpo;
                const bool inteiro = leitor([&](const char *dados, size_t tamanho) {
                    corpo.append(dados, tamanho);
                    return true;
                });
                res.set_content(inteiro && !corpo.empty() ? "{\"success\":true,\"codigo\":1}"
                                                          : "{\"success\":false}",
                                "application/json; charset=utf-8");
            });
        servidor.set_tcp_nodelay(true);
        porta = servidor.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { servidor.listen_after_bind(); });
    }
    ~ServidorVazio() {
        servidor.stop();
        thread.join();
    }
    httplib::Server servidor;
    int porta = 0;
    std::thread thread;
};

// Posts every body over one libcurl handle (keep-alive), nothing else.
void postarCru(benchmark::State &state, const std::string &url) {
    const QList<QByteArray> &corpos = servico().corpos;
    CURL *curl = curl_easy_init();
    curl_slist *cabecalhos = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
    cabecalhos = curl_slist_append(cabecalhos, "Expect:");
    std::string resposta;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, cabecalhos);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &resposta);
    curl_easy_setopt(
        curl, CURLOPT_WRITEFUNCTION, +[](char *p, size_t t, size_t n, void *d) {
            static_cast<std::string *>(d)->append(p, t * n);
            return t * n;
        });
    for (auto _ : state) {
        for (const QByteArray &corpo : corpos) {
            resposta.clear();
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(corpo.size()));
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, corpo.constData());
            const CURLcode r = curl_easy_perform(curl);
            if (r != CURLE_OK || resposta.find("\"success\":true") == std::string::npos) {
                state.SkipWithError(
                    ("a bare post failed: " + std::string(curl_easy_strerror(r)) + " " + resposta).c_str());
                break;
            }
        }
    }
    curl_slist_free_all(cabecalhos);
    curl_easy_cleanup(curl);
    state.counters["scripts/s"] =
        benchmark::Counter(double(state.iterations()) * Scripts, benchmark::Counter::kIsRate);
}

void ClienteNoServico(benchmark::State &state) {
    Servico &s = servico();
    for (auto _ : state)
        for (int i = 0; i < Scripts; ++i) {
            const auto envelope = Protocolo::Inserir(s.sessao, Data, QStringLiteral("s%1.sql").arg(i),
                                                     QStringLiteral("KOR"), scripts()[i]);
            if (!envelope || !envelope->success) {
                state.SkipWithError("the service refused a script");
                return;
            }
        }
    state.counters["scripts/s"] =
        benchmark::Counter(double(state.iterations()) * Scripts, benchmark::Counter::kIsRate);
}

void CurlNoServico(benchmark::State &state) {
    servico(); // sets the service's address
    postarCru(state, (URLBase() + QStringLiteral("/inserir")).toStdString());
}

void CurlNoServidorVazio(benchmark::State &state) {
    servico(); // the same bodies
    ServidorVazio vazio;
    postarCru(state,
              "http://127.0.0.1:" + std::to_string(vazio.porta) + "/services/index.php/scripts/inserir");
}

void GravarNoBanco(benchmark::State &state) {
    QTemporaryDir dir;
    Armazenamento armazenamento(dir.filePath(QStringLiteral("bench.db")));
    QStringList hex;
    for (const QByteArray &s : scripts())
        hex << QString::fromLatin1(s.toHex().toUpper());
    for (auto _ : state)
        for (int i = 0; i < Scripts; ++i)
            armazenamento.inserir(Data, QStringLiteral("s%1.sql").arg(i), QStringLiteral("KOR"), hex[i],
                                  QStringLiteral("DEV"));
    state.counters["scripts/s"] =
        benchmark::Counter(double(state.iterations()) * Scripts, benchmark::Counter::kIsRate);
}

// The floor under every acknowledged insert: appending what one insert writes (the script in the
// table and in its log entry, 64 KB of hexadecimal) to a file and waiting until it is on disk.
void GravarNoDisco(benchmark::State &state) {
    QTemporaryDir dir;
    QFile arquivo(dir.filePath(QStringLiteral("disco.bin")));
    arquivo.open(QIODevice::WriteOnly);
    const QByteArray bloco(4 * 16 * 1024, 'A');
    for (auto _ : state)
        for (int i = 0; i < Scripts; ++i) {
            arquivo.write(bloco);
            arquivo.flush();
            ::fdatasync(arquivo.handle());
        }
    state.counters["scripts/s"] =
        benchmark::Counter(double(state.iterations()) * Scripts, benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(ClienteNoServico)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(CurlNoServico)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(CurlNoServidorVazio)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(GravarNoBanco)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(GravarNoDisco)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("BRISEL_BUILD_DIR"))
        qputenv("BRISEL_BUILD_DIR", BRISEL_BUILD_DIR_PADRAO);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const std::string cliente = "ClienteNoServico/iterations:3/real_time";
    const std::string curlServico = "CurlNoServico/iterations:3/real_time";
    const std::string vazio = "CurlNoServidorVazio/iterations:3/real_time";
    const std::string banco = "GravarNoBanco/iterations:3/real_time";
    const std::string disco = "GravarNoDisco/iterations:3/real_time";
    RatioReporter reporter({{cliente, vazio},
                            {curlServico, vazio},
                            {cliente, curlServico},
                            {banco, curlServico},
                            {disco, banco}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
