#pragma once

#include "server/Armazenamento.h"
#include "server/OpcoesPostgres.h"
#include "server/PoolConexoesPostgres.h"

class OrigemSqlite;

// What an import copied.
struct ResumoImportacao {
    qint64 usuarios = 0;
    qint64 scripts = 0;
    qint64 entradasLog = 0;
};

// The storage in a PostgreSQL database, which several service processes may share: a pool of
// connections lets concurrent requests run side by side. Opening creates the schema, or upgrades
// an older one, in one transaction under an advisory lock, so processes started together do not
// both create it.
class ArmazenamentoPostgres : public Armazenamento {
public:
    // `conexao` is a postgresql:// URI or a libpq "key=value" string.
    explicit ArmazenamentoPostgres(const QString &conexao, qint64 validadeSessao = ValidadeSessaoPadrao,
                                   Relogio relogio = {}, OpcoesPostgres opcoes = {});

    // Copies the users, scripts (with their codes) and log of a SQLite service database, in one
    // transaction, into this database, which must hold no user, script or log entry; later codes
    // continue after the highest one the file ever gave. Throws Exception, changing nothing, when
    // the database is not empty.
    ResumoImportacao importar(OrigemSqlite &origem);

protected:
    void usar(bool transacao, const std::function<void(ConexaoBanco &)> &trabalho) override;
    bool insercaoNumaInstrucao() const override { return true; }

private:
    PoolConexoesPostgres FPool;
};
