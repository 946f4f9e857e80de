#include "server/ConexaoPostgres.h"

#include "server/BancoIndisponivel.h"

#include <libpq-fe.h>

#include <memory>
#include <vector>

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

// SQLSTATE classes that mean the server is going away or not taking the session: 08 (connection
// exception), 57P01-57P03 (shut down, crashed, starting up).
bool servidorAusente(const PGresult *r) {
    const char *estado = PQresultErrorField(r, PG_DIAG_SQLSTATE);
    if (!estado)
        return false;
    const QByteArray codigo(estado);
    return codigo.startsWith("08") || codigo.startsWith("57P");
}

} // namespace

ConexaoPostgres::ConexaoPostgres(const QString &conexao) {
    const QByteArray texto = conexao.toUtf8();
    // A time limit for the attempt unless the text gives one (later values override earlier
    // ones); UTF-8 always, since every text is handed over as such.
    const char *chaves[] = {"connect_timeout", "dbname", "client_encoding", "application_name", nullptr};
    const char *valores[] = {"10", texto.constData(), "UTF8", "brisel-scripts-server", nullptr};
    FConexao = PQconnectdbParams(chaves, valores, 1);
    if (PQstatus(FConexao) != CONNECTION_OK) {
        const QByteArray causa(PQerrorMessage(FConexao));
        PQfinish(FConexao);
        indisponivel(causa);
    }
    // Notices (such as "relation already exists, skipping") are not the log's business.
    PQsetNoticeProcessor(
        FConexao, [](void *, const char *) {}, nullptr);
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
    Resultado r(nullptr, &PQclear);
    if (valores.isEmpty()) {
        r.reset(PQexec(FConexao, sql.toUtf8().constData()));
    } else {
        auto nome = FPreparadas.constFind(sql);
        if (nome == FPreparadas.cend()) {
            const QByteArray novo = "b" + QByteArray::number(FPreparadas.size() + 1);
            const Resultado preparo(PQprepare(FConexao, novo.constData(), comPosicoes(sql).constData(),
                                              int(valores.size()), nullptr),
                                    &PQclear);
            if (PQresultStatus(preparo.get()) != PGRES_COMMAND_OK)
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
        r.reset(PQexecPrepared(FConexao, nome->constData(), int(valores.size()), ponteiros.data(), nullptr,
                               nullptr, 0));
    }
    const ExecStatusType estado = PQresultStatus(r.get());
    if (estado != PGRES_COMMAND_OK && estado != PGRES_TUPLES_OK)
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

void ConexaoPostgres::falhar(const pg_result *resultado) {
    if (!resultado || PQstatus(FConexao) != CONNECTION_OK || servidorAusente(resultado))
        indisponivel(PQerrorMessage(FConexao));
    throw Exception(QStringLiteral("Erro no banco de dados: %1")
                        .arg(QString::fromUtf8(PQresultErrorMessage(resultado)).trimmed()));
}

bool ConexaoPostgres::temTabela(const QString &nome) {
    return !valor(QStringLiteral("SELECT to_regclass(?)"), {nome}).isNull();
}
