// Uploading 1,000 scripts of 16 KB, each run measured against peers in the same process:
//  - ClienteNoServico: the program's client (Protocolo::Inserir over Conexao) against the
//    reference service, its database in a file;
//  - CurlNoServico: the same bodies posted by bare libcurl to the reference service;
//  - CurlNoServicoEmMemoria: the same to the reference service keeping its database in memory
//    (its own share, without the disk);
//  - CurlNoServidorVazio: the same bodies posted by bare libcurl to a cpp-httplib server that
//    reads them and stores nothing;
//  - GravarNoBanco: the service's storage alone, writing the same scripts into a file: what
//    each insert waits for once the request has been read (its commit reaches the disk);
//  - GravarNoDisco: the disk alone, appending as much per insert and waiting for it.
#include "bench/RatioReporter.h"
#include "server/ArmazenamentoSqlite.h"
#include "service/CamposRequisicao.h"
#include "service/Conexao.h"
#include "service/Md5Senha.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "tests/support/TestServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
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

// The /inserir bodies the client sends for every script, with the session key `chave`.
QList<QByteArray> corposInserir(const QString &chave) {
    QList<QByteArray> corpos;
    for (int i = 0; i < Scripts; ++i)
        corpos << Protocolo::CamposInserir(Data, QStringLiteral("s%1.sql").arg(i), QStringLiteral("KOR"),
                                           scripts()[i], chave)
                      .codificar();
    return corpos;
}

// The reference service over a database file, logged in as the client would be.
struct Servico {
    Servico()
        : servidor({QStringLiteral("DEV:senha")},
                   {QStringLiteral("--db"), dir.filePath(QStringLiteral("bench.db"))}) {
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl().toUtf8());
        sessao.setChave(Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha")).chave);
        corpos = corposInserir(sessao.chave());
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

// Bare libcurl posts over one handle (kept alive), nothing else.
class PostCru {
public:
    PostCru() {
        FCabecalhos = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
        FCabecalhos = curl_slist_append(FCabecalhos, "Expect:");
        curl_easy_setopt(FCurl, CURLOPT_HTTPHEADER, FCabecalhos);
        curl_easy_setopt(FCurl, CURLOPT_WRITEDATA, &FResposta);
        curl_easy_setopt(
            FCurl, CURLOPT_WRITEFUNCTION, +[](char *p, size_t t, size_t n, void *d) {
                static_cast<std::string *>(d)->append(p, t * n);
                return t * n;
            });
    }
    ~PostCru() {
        curl_slist_free_all(FCabecalhos);
        curl_easy_cleanup(FCurl);
    }
    // The reply's body; empty when the transfer failed.
    const std::string &postar(const std::string &url, const QByteArray &corpo) {
        FResposta.clear();
        curl_easy_setopt(FCurl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(FCurl, CURLOPT_POSTFIELDSIZE, long(corpo.size()));
        curl_easy_setopt(FCurl, CURLOPT_POSTFIELDS, corpo.constData());
        if (curl_easy_perform(FCurl) != CURLE_OK)
            FResposta.clear();
        return FResposta;
    }

private:
    CURL *FCurl = curl_easy_init();
    curl_slist *FCabecalhos = nullptr;
    std::string FResposta;
};

void postarCru(benchmark::State &state, const std::string &url, const QList<QByteArray> &corpos) {
    PostCru post;
    for (auto _ : state)
        for (const QByteArray &corpo : corpos)
            if (post.postar(url, corpo).find("\"success\":true") == std::string::npos) {
                state.SkipWithError("a bare post failed");
                return;
            }
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
    postarCru(state, servico().servidor.baseUrl().toStdString() + "/inserir", servico().corpos);
}

// The service's own share: the same posts to the reference service keeping its database in memory.
void CurlNoServicoEmMemoria(benchmark::State &state) {
    TestServer memoria;
    PostCru post;
    const std::string base = memoria.baseUrl().toStdString();
    const QString chave =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(post.postar(
                base + "/login", "usuario=DEV&senha=" + Md5Senha(QStringLiteral("senha")).toUtf8())))
            .object()
            .value(QStringLiteral("chave"))
            .toString();
    postarCru(state, base + "/inserir", corposInserir(chave));
}

void CurlNoServidorVazio(benchmark::State &state) {
    ServidorVazio vazio;
    postarCru(state,
              "http://127.0.0.1:" + std::to_string(vazio.porta) + "/services/index.php/scripts/inserir",
              servico().corpos);
}

void GravarNoBanco(benchmark::State &state) {
    QTemporaryDir dir;
    ArmazenamentoSqlite armazenamento(dir.filePath(QStringLiteral("bench.db")));
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
BENCHMARK(CurlNoServicoEmMemoria)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
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
    const std::string memoria = "CurlNoServicoEmMemoria/iterations:3/real_time";
    const std::string vazio = "CurlNoServidorVazio/iterations:3/real_time";
    const std::string banco = "GravarNoBanco/iterations:3/real_time";
    const std::string disco = "GravarNoDisco/iterations:3/real_time";
    RatioReporter reporter({{cliente, vazio},
                            {curlServico, vazio},
                            {cliente, curlServico},
                            {memoria, vazio},
                            {banco, curlServico},
                            {disco, banco}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
