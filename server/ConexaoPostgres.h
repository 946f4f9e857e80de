#pragma once

#include "server/ConexaoBanco.h"
#include "server/OpcoesPostgres.h"

#include <QByteArray>
#include <QHash>

#include <chrono>
#include <memory>

struct pg_conn;
struct pg_result;

// A connection to PostgreSQL through libpq, in UTF-8. Statements with values are prepared once
// per connection and reused. A failed connection attempt, or a statement that finds the server
// gone, throws BancoIndisponivel (the cause goes to standard error). So does a statement the
// server has not answered within the time limit, waits for locks included: the server is asked to
// cancel it, and the connection must not be used again. The connection attempt has the same
// limit, unless the text or PGCONNECT_TIMEOUT sets connect_timeout.
class ConexaoPostgres : public ConexaoBanco {
public:
    // `conexao` is a postgresql:// URI or a libpq "key=value" string.
    explicit ConexaoPostgres(const QString &conexao, int prazoSegundos = OpcoesPostgres().prazoSegundos);
    ~ConexaoPostgres() override;
    ConexaoPostgres(const ConexaoPostgres &) = delete;
    ConexaoPostgres &operator=(const ConexaoPostgres &) = delete;

    Linhas executar(const QString &sql, const QVariantList &valores = {}) override;
    QString bloqueioLinhas() const override { return QStringLiteral(" FOR UPDATE"); }
    bool temTabela(const QString &nome) override;

    // False when the server has closed the connection while it sat unused (restarted, or the
    // session was terminated), or a transaction was left open: then it must not be used again.
    bool utilizavel();

private:
    using Limite = std::chrono::steady_clock::time_point;

    // Waits until the socket is ready for `eventos` (poll flags) and returns those it is ready
    // for; at `limite`, asks the server to cancel and throws BancoIndisponivel.
    short aguardar(short eventos, Limite limite);
    // Completes what a PQsend* call (its return value `enviado`) began to send.
    void enviar(int enviado, Limite limite);
    // Every result of what was sent: the first failure, or else the last one.
    std::unique_ptr<pg_result, void (*)(pg_result *)> receber(Limite limite);
    // Throws what the failed `resultado` means: BancoIndisponivel or the server's message.
    [[noreturn]] void falhar(const pg_result *resultado);

    pg_conn *FConexao = nullptr;
    int FPrazoSegundos;
    QHash<QString, QByteArray> FPreparadas; // statement text -> prepared statement name
};
