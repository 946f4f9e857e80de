// Page "Envio" speeds, each as a ratio against a peer measured in the same run:
//  - the folder search (reading every matching file) against find(1) + cat(1) over the same tree;
//  - a row move in a 10,000-row queue with 100 KB scripts against the same with 1 KB scripts;
//  - the upload run against bare posts of the same bodies over the same connection;
//  - the status of 2,000 queued files ("No serviço") against uploading the same files, on a
//    service whose database is a file: automatic, one search per name, and the whole system.
#include "bench/RatioReporter.h"
#include "scripts/ConsultaEstadoServico.h"
#include "scripts/EnvioScripts.h"
#include "scripts/FilaArquivosModel.h"
#include "scripts/PesquisaArquivos.h"
#include "service/CamposRequisicao.h"
#include "service/Conexao.h"
#include "service/Enderecos.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "tests/support/TestServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace {

const QDateTime limite(QDate(2024, 5, 1), QTime(0, 0));

// 500 folders (20 top folders with 24 subfolders each) of 100 files: 75 "*.sql" of about
// 300 bytes, 25 "*.txt"; one file in ten older than the limit.
QTemporaryDir &arvore() {
    static QTemporaryDir dir;
    static bool pronta = false;
    if (pronta)
        return dir;
    const QByteArray texto = QByteArray("update tabela set campo = 1 where id = 2;\n").repeated(7);
    auto encher = [&](const QString &pasta) {
        QDir().mkpath(pasta);
        for (int i = 0; i < 100; ++i) {
            const QString nome = QStringLiteral("%1/script_%2.%3")
                                     .arg(pasta)
                                     .arg(i, 3, 10, QLatin1Char('0'))
                                     .arg(i % 4 == 3 ? QStringLiteral("txt") : QStringLiteral("sql"));
            QFile f(nome);
            f.open(QIODevice::WriteOnly);
            f.write(texto);
            f.flush();
            f.setFileTime(i % 10 == 0 ? limite.addDays(-3) : limite.addDays(2),
                          QFileDevice::FileModificationTime);
        }
    };
    for (int t = 0; t < 20; ++t) {
        const QString topo = dir.filePath(QStringLiteral("t%1").arg(t));
        encher(topo);
        for (int s = 0; s < 24; ++s)
            encher(QStringLiteral("%1/s%2").arg(topo).arg(s));
    }
    pronta = true;
    return dir;
}

void PesquisaBrisel(benchmark::State &state) {
    const QString base = arvore().path();
    qint64 linhas = 0;
    for (auto _ : state) {
        FilaArquivosModel fila;
        PesquisaArquivos::Ganchos g;
        g.limite = [] { return limite; };
        g.encontrado = [&](const QString &c, const QDateTime &d) { fila.AdicionarArquivo(c, d); };
        g.processarEventos = [] { QCoreApplication::processEvents(); };
        g.parar = [] { return false; };
        PesquisaArquivos(QStringLiteral("*.SQL"), g).Pesquisar(base);
        linhas = fila.rowCount();
    }
    state.counters["files"] = double(linhas);
}

void PesquisaFind(benchmark::State &state) {
    const QString base = arvore().path();
    for (auto _ : state) {
        QProcess find;
        find.setStandardOutputFile(QProcess::nullDevice());
        find.start(QStringLiteral("find"),
                   {base, QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-iname"),
                    QStringLiteral("*.SQL"), QStringLiteral("-newermt"),
                    QStringLiteral("2024-05-01 00:00:00"), QStringLiteral("-exec"), QStringLiteral("cat"),
                    QStringLiteral("{}"), QStringLiteral("+")});
        find.waitForFinished(-1);
    }
}

// 10,000 rows whose scripts are distinct views into one buffer: a deep copy of a script would
// cost its full size, yet the whole queue takes little memory.
void Mover(benchmark::State &state) {
    const int tamanho = int(state.range(0));
    const int n = 10000;
    static QByteArray buffer;
    buffer = QByteArray(tamanho + n, 'x');
    FilaArquivosModel fila;
    for (int i = 0; i < n; ++i)
        fila.Adicionar(limite, QStringLiteral("/base/%1.sql").arg(i),
                       QByteArray::fromRawData(buffer.constData() + i, tamanho));
    bool ida = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ida ? fila.Mover(10, n - 10) : fila.Mover(n - 10, 10));
        ida = !ida;
    }
}

struct Servico {
    Servico() {
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl().toUtf8());
        sessao.setChave(Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha")).chave);
        for (int i = 0; i < 1000; ++i)
            linhas << FilaArquivosModel::Linha{
                limite, QStringLiteral("/base/s%1.sql").arg(i),
                QByteArray("select * from tabela where id = ") + QByteArray::number(i) + ";\r\n", float(i)};
    }
    TestServer servidor;
    Conexao conexao;
    Sessao sessao{conexao};
    QList<FilaArquivosModel::Linha> linhas;
};

Servico &servico() {
    static Servico s;
    return s;
}

void EnvioBrisel(benchmark::State &state) {
    Servico &s = servico();
    for (auto _ : state)
        EnvioScripts(s.sessao, QStringLiteral("KOR")).Executar(s.linhas, [](int) { return true; });
    state.counters["scripts/s"] =
        benchmark::Counter(double(state.iterations()) * 1000, benchmark::Counter::kIsRate);
}

void EnvioPostsCrus(benchmark::State &state) {
    Servico &s = servico();
    QList<CamposRequisicao> campos;
    for (const auto &l : s.linhas)
        campos << Protocolo::CamposInserir(l.data, EnvioScripts::nomeArquivo(l.nomeArq),
                                           QStringLiteral("KOR"), l.script, s.sessao.chave());
    const QString endereco = URLBase() + QStringLiteral("/inserir");
    for (auto _ : state)
        for (const CamposRequisicao &c : campos)
            benchmark::DoNotOptimize(s.conexao.Post(endereco, c));
    state.counters["scripts/s"] =
        benchmark::Counter(double(state.iterations()) * 1000, benchmark::Counter::kIsRate);
}

// 2,000 files of about 2 KB, uploaded to a service that keeps its scripts in a file.
struct ServicoEmArquivo {
    ServicoEmArquivo()
        : servidor({QStringLiteral("DEV:senha")},
                   {QStringLiteral("--db"), pasta.filePath(QStringLiteral("b.db"))}) {
        qputenv("BRISEL_SERVICE_URL", servidor.rootUrl().toUtf8());
        sessao.setChave(Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha")).chave);
        const QByteArray corpo =
            QByteArray("update tabela set campo = campo + 1 where id = 2;\r\n").repeated(40);
        for (int i = 0; i < 2000; ++i) {
            const QString nome = QStringLiteral("script_%1.sql").arg(i, 4, 10, QLatin1Char('0'));
            const QByteArray script = "-- " + nome.toLatin1() + "\r\n" + corpo;
            linhas << FilaArquivosModel::Linha{limite, QStringLiteral("/base/") + nome, script, float(i)};
            arquivos << ConsultaEstadoServico::Arquivo{nome, script};
        }
    }
    QTemporaryDir pasta;
    TestServer servidor;
    Conexao conexao;
    Sessao sessao{conexao};
    QList<FilaArquivosModel::Linha> linhas;
    QList<ConsultaEstadoServico::Arquivo> arquivos;
};

ServicoEmArquivo &servicoEmArquivo() {
    static ServicoEmArquivo s;
    return s;
}

// Runs first: the status benchmarks then look at a service holding every file (twice).
void EnvioDoisMil(benchmark::State &state) {
    ServicoEmArquivo &s = servicoEmArquivo();
    qputenv("BRISEL_SERVICE_URL", s.servidor.rootUrl().toUtf8());
    for (auto _ : state)
        EnvioScripts(s.sessao, QStringLiteral("TALAO")).Executar(s.linhas, [](int) { return true; });
}

void EstadoDoisMil(benchmark::State &state) {
    ServicoEmArquivo &s = servicoEmArquivo();
    qputenv("BRISEL_SERVICE_URL", s.servidor.rootUrl().toUtf8());
    ConsultaEstadoServico consulta(s.sessao, QStringLiteral("TALAO"));
    consulta.setEstrategia(ConsultaEstadoServico::Estrategia(state.range(0)));
    int iguais = 0;
    for (auto _ : state) {
        iguais = 0;
        for (const EstadoNoServico &e : consulta.Consultar(s.arquivos))
            iguais += e.tipo == EstadoNoServico::Tipo::Igual;
    }
    if (iguais != s.arquivos.size())
        state.SkipWithError("not every file was found on the service");
}

} // namespace

BENCHMARK(PesquisaBrisel)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(PesquisaFind)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(Mover)->Arg(1024)->Arg(100 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(EnvioBrisel)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(EnvioPostsCrus)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(EnvioDoisMil)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(EstadoDoisMil)
    ->Arg(int(ConsultaEstadoServico::Estrategia::Automatica))
    ->Arg(int(ConsultaEstadoServico::Estrategia::PorNome))
    ->Arg(int(ConsultaEstadoServico::Estrategia::Sistema))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // The service's dates are read in the program's own locale, as at start-up.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    if (qEnvironmentVariableIsEmpty("BRISEL_BUILD_DIR"))
        qputenv("BRISEL_BUILD_DIR", BRISEL_BUILD_DIR_PADRAO);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(
        {{"PesquisaBrisel/min_time:2.000/real_time", "PesquisaFind/min_time:2.000/real_time"},
         {"Mover/102400", "Mover/1024"},
         {"EnvioBrisel/iterations:3/real_time", "EnvioPostsCrus/iterations:3/real_time"},
         {"EstadoDoisMil/0/iterations:2/real_time", "EnvioDoisMil/iterations:2/real_time"},
         {"EstadoDoisMil/1/iterations:2/real_time", "EnvioDoisMil/iterations:2/real_time"},
         {"EstadoDoisMil/2/iterations:2/real_time", "EnvioDoisMil/iterations:2/real_time"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
