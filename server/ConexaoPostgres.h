#pragma once

#include "server/ConexaoBanco.h"

#include <QByteArray>
#include <QHash>

struct pg_conn;
struct pg_result;

// A connection to PostgreSQL through libpq, in UTF-8. Statements with values are prepared once
// per connection and reused. A failed connection attempt, or a statement that finds the server
// gone, throws BancoIndisponivel (the cause goes to standard error).
class ConexaoPostgres : public ConexaoBanco {
public:
    // `conexao` is a postgresql:// URI or a libpq "key=value" string.
    explicit ConexaoPostgres(const QString &conexao);
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
    // Throws what the failed `resultado` means: BancoIndisponivel or the server's message.
    [[noreturn]] void falhar(const pg_result *resultado);

    pg_conn *FConexao = nullptr;
    QHash<QString, QByteArray> FPreparadas; // statement text -> prepared statement name
};
