#include "server/ConexaoPostgres.h"

#include "server/BancoIndisponivel.h"

#include <libpq-fe.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <poll.h>

namespace {

using Resultado = std::unique_ptr<PGresult, decltype(&PQclear)>;

// "?" marks become "$1", "$2"...: the statements are shared with SQLite.
QByteArray comPosicoes(const QString &sql) {
    QByteArray saida;
    int n = 0;
    for (const QChar c : sql) {
        if (c == QLatin1Char('?'))
            saida += '$' + QByteArray::number(++n);
        else
            saida += QString(c).toUtf8();
    }
    return saida;
}

[[noreturn]] void indisponivel(const QByteArray &causa) {
    qWarning("PostgreSQL: %s", causa.trimmed().constData());
    throw BancoIndisponivel();
}

// SQLSTATEs that mean the server is going away, not taking the session or not answering in time:
// 08 (connection exception), 57P01-57P03 (shut down, crashed, starting up), 57014 (cancelled, as
// by a statement_timeout the connection text sets).
bool servidorAusente(const PGresult *r) {
    const char *estado = PQresultErrorField(r, PG_DIAG_SQLSTATE);
    if (!estado)
        return false;
    const QByteArray codigo(estado);
    return codigo.startsWith("08") || codigo.startsWith("57P") || codigo == "57014";
}

bool aceito(const PGresult *r) {
    const ExecStatusType estado = PQresultStatus(r);
    return estado == PGRES_COMMAND_OK || estado == PGRES_TUPLES_OK;
}

// Cancel requests still waiting for their server when their wait ended. While there is one, that
// server is taken for not answering and no other is sent: a stopped server keeps at most one
// thread per connection of the pool waiting, until it goes on or the network gives up.
std::atomic<int> cancelamentosAtrasados = 0;
constexpr auto EsperaCancelamento = std::chrono::seconds(1);

// Asks the server to stop what `conexao` is running before the connection is given up. Closing
// it is not enough: a server waiting for a lock does not notice, and outside a transaction it
// would carry the statement out after its request had failed.
void cancelar(PGconn *conexao) {
    if (cancelamentosAtrasados > 0)
        return;
    PGcancel *pedido = PQgetCancel(conexao);
    if (!pedido)
        return;
    struct Espera {
        std::mutex mutex;
        std::condition_variable fim;
        bool feito = false;
        bool atrasado = false;
    };
    const auto espera = std::make_shared<Espera>();
    // PQcancel opens a connection of its own and reads from it without a limit.
    try {
        std::thread([espera, pedido] {
            char erro[256];
            PQcancel(pedido, erro, sizeof erro);
            PQfreeCancel(pedido);
            const std::lock_guard trava(espera->mutex);
            espera->feito = true;
            if (espera->atrasado)
                --cancelamentosAtrasados;
            espera->fim.notify_one();
        }).detach();
    } catch (const std::system_error &) {
        PQfreeCancel(pedido);
        return;
    }
    std::unique_lock trava(espera->mutex);
    if (!espera->fim.wait_for(trava, EsperaCancelamento, [&] { return espera->feito; })) {
        espera->atrasado = true;
        ++cancelamentosAtrasados;
    }
}

} // namespace

ConexaoPostgres::ConexaoPostgres(const QString &conexao, int prazoSegundos) : FPrazoSegundos(prazoSegundos) {
    const QByteArray texto = conexao.toUtf8();
    const QByteArray prazo = QByteArray::number(prazoSegundos);
    const QByteArray prazoMs = QByteArray::number(qint64(prazoSegundos) * 1000);
    // What comes before the text is a default it may override (later values win): the limit for
    // the attempt (unless PGCONNECT_TIMEOUT gives one), and keepalives, so that a connection to a
    // server gone while it sat idle in the pool is found closed before a request uses it. UTF-8
    // always, since every text is handed over as such.
    std::vector<const char *> chaves;
    std::vector<const char *> valores;
    const auto definir = [&](const char *chave, const char *valor) {
        chaves.push_back(chave);
        valores.push_back(valor);
    };
    if (!qEnvironmentVariableIsSet("PGCONNECT_TIMEOUT"))
        definir("connect_timeout", prazo.constData());
    definir("keepalives", "1");
    definir("keepalives_idle", prazo.constData());
    definir("tcp_user_timeout", prazoMs.constData());
    definir("dbname", texto.constData());
    definir("client_encoding", "UTF8");
    definir("application_name", "brisel-scripts-server");
    definir(nullptr, nullptr);
    FConexao = PQconnectdbParams(chaves.data(), valores.data(), 1);
    if (PQstatus(FConexao) != CONNECTION_OK) {
        const QByteArray causa(PQerrorMessage(FConexao));
        PQfinish(FConexao);
        indisponivel(causa);
    }
    // Notices (such as "relation already exists, skipping") are not the log's business.
    PQsetNoticeProcessor(
        FConexao, [](void *, const char *) {}, nullptr);
    // Sent and awaited here, so that every wait has a limit.
    if (PQsetnonblocking(FConexao, 1) != 0) {
        const QByteArray causa(PQerrorMessage(FConexao));
        PQfinish(FConexao);
        indisponivel(causa);
    }
}

ConexaoPostgres::~ConexaoPostgres() {
    PQfinish(FConexao);
}

bool ConexaoPostgres::utilizavel() {
    if (PQstatus(FConexao) != CONNECTION_OK || PQtransactionStatus(FConexao) != PQTRANS_IDLE)
        return false;
    // Reads whatever arrived while it was idle; a closed socket turns the status bad. A server
    // that ended the session sent a last message before closing: the first read takes that,
    // the second meets the end.
    for (int leitura = 0; leitura < 2; ++leitura)
        if (PQconsumeInput(FConexao) != 1)
            return false;
    return PQstatus(FConexao) == CONNECTION_OK;
}

ConexaoBanco::Linhas ConexaoPostgres::executar(const QString &sql, const QVariantList &valores) {
    const Limite limite = std::chrono::steady_clock::now() + std::chrono::seconds(FPrazoSegundos);
    Resultado r(nullptr, &PQclear);
    if (valores.isEmpty()) {
        enviar(PQsendQuery(FConexao, sql.toUtf8().constData()), limite);
        r = receber(limite);
    } else {
        auto nome = FPreparadas.constFind(sql);
        if (nome == FPreparadas.cend()) {
            const QByteArray novo = "b" + QByteArray::number(FPreparadas.size() + 1);
            enviar(PQsendPrepare(FConexao, novo.constData(), comPosicoes(sql).constData(),
                                 int(valores.size()), nullptr),
                   limite);
            const Resultado preparo = receber(limite);
            if (!preparo || !aceito(preparo.get()))
                falhar(preparo.get());
            nome = FPreparadas.insert(sql, novo);
        }
        std::vector<QByteArray> textos;
        textos.reserve(size_t(valores.size()));
        std::vector<const char *> ponteiros;
        for (const QVariant &v : valores) {
            textos.push_back(v.toString().toUtf8());
            ponteiros.push_back(textos.back().constData()); // never null: NULL is never sent
        }
        enviar(PQsendQueryPrepared(FConexao, nome->constData(), int(valores.size()), ponteiros.data(),
                                   nullptr, nullptr, 0),
               limite);
        r = receber(limite);
    }
    if (!r)
        falhar(nullptr);
    if (!aceito(r.get()))
        falhar(r.get());
    Linhas linhas;
    const int colunas = PQnfields(r.get());
    for (int l = 0; l < PQntuples(r.get()); ++l) {
        Linha linha;
        for (int c = 0; c < colunas; ++c)
            linha << (PQgetisnull(r.get(), l, c)
                          ? QString()
                          : QString::fromUtf8(PQgetvalue(r.get(), l, c), PQgetlength(r.get(), l, c)));
        linhas << linha;
    }
    return linhas;
}

short ConexaoPostgres::aguardar(short eventos, Limite limite) {
    for (;;) {
        const auto resta =
            std::chrono::duration_cast<std::chrono::milliseconds>(limite - std::chrono::steady_clock::now())
                .count();
        if (resta <= 0) {
            cancelar(FConexao);
            indisponivel("no answer within " + QByteArray::number(FPrazoSegundos) + " s");
        }
        pollfd p{PQsocket(FConexao), eventos, 0};
        const int prontos = ::poll(&p, 1, int(qMin<qint64>(resta, INT_MAX)));
        if (prontos > 0)
            return p.revents;
        if (prontos < 0 && errno != EINTR)
            indisponivel(QByteArray("poll: ") + std::strerror(errno));
    }
}

void ConexaoPostgres::enviar(int enviado, Limite limite) {
    if (!enviado)
        falhar(nullptr);
    for (int pendente = PQflush(FConexao); pendente != 0; pendente = PQflush(FConexao)) {
        if (pendente < 0)
            indisponivel(PQerrorMessage(FConexao));
        // The server may be answering while it still reads: its answer is taken in meanwhile.
        if ((aguardar(POLLIN | POLLOUT, limite) & POLLIN) && !PQconsumeInput(FConexao))
            indisponivel(PQerrorMessage(FConexao));
    }
}

std::unique_ptr<pg_result, void (*)(pg_result *)> ConexaoPostgres::receber(Limite limite) {
    Resultado guardado(nullptr, &PQclear);
    for (;;) {
        while (PQisBusy(FConexao)) {
            aguardar(POLLIN, limite);
            if (!PQconsumeInput(FConexao))
                indisponivel(PQerrorMessage(FConexao));
        }
        PGresult *proximo = PQgetResult(FConexao);
        if (!proximo)
            return guardado;
        // The first failure, or else the last result, as a text of several statements gives.
        if (!guardado || aceito(guardado.get()))
            guardado.reset(proximo);
        else
            PQclear(proximo);
    }
}

void ConexaoPostgres::falhar(const pg_result *resultado) {
    if (!resultado || PQstatus(FConexao) != CONNECTION_OK || servidorAusente(resultado))
        indisponivel(PQerrorMessage(FConexao));
    throw Exception(QStringLiteral("Erro no banco de dados: %1")
                        .arg(QString::fromUtf8(PQresultErrorMessage(resultado)).trimmed()));
}

bool ConexaoPostgres::temTabela(const QString &nome) {
    return !valor(QStringLiteral("SELECT to_regclass(?)"), {nome}).isNull();
}
