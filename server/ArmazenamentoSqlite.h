#pragma once

#include "server/Armazenamento.h"
#include "server/ConexaoSqlite.h"

#include <mutex>

// The storage in a SQLite file in WAL mode (or ":memory:"): one connection, one request at a
// time in this process; other processes on the same file wait their turn to write. Opening
// creates the schema, or upgrades an older one, in one transaction.
class ArmazenamentoSqlite : public Armazenamento {
public:
    explicit ArmazenamentoSqlite(const QString &arquivo, qint64 validadeSessao = ValidadeSessaoPadrao,
                                 Relogio relogio = {});

protected:
    void usar(bool transacao, const std::function<void(ConexaoBanco &)> &trabalho) override;

private:
    ConexaoSqlite FConexao;
    std::mutex FMutex;
};
