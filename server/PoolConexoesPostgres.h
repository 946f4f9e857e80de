#pragma once

#include "server/OpcoesPostgres.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class ConexaoPostgres;

// Up to `opcoes.conexoes` connections to one PostgreSQL database, opened when first needed and
// shared by the HTTP threads, so that concurrent requests run (and commit) side by side. A
// connection found closed by the server is replaced before use; when a request finds the server
// gone, the idle connections are dropped with it, and the next request connects anew.
class PoolConexoesPostgres {
public:
    PoolConexoesPostgres(const QString &conexao, OpcoesPostgres opcoes);
    ~PoolConexoesPostgres();
    PoolConexoesPostgres(const PoolConexoesPostgres &) = delete;
    PoolConexoesPostgres &operator=(const PoolConexoesPostgres &) = delete;

    // Runs `trabalho` on a connection of its own, waiting while all are in use.
    void usar(const std::function<void(ConexaoPostgres &)> &trabalho);

private:
    std::unique_ptr<ConexaoPostgres> tomar();
    void devolver(std::unique_ptr<ConexaoPostgres> conexao);
    // One connection fewer (the one that failed); with `livresTambem` the idle ones go too, since
    // they lead to the same server.
    void descartar(bool livresTambem);

    QString FConexao;
    OpcoesPostgres FOpcoes;
    std::mutex FMutex;
    std::condition_variable FLiberada;
    std::vector<std::unique_ptr<ConexaoPostgres>> FLivres;
    int FAbertas = 0; // idle, in use and being opened
};
