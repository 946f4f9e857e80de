#pragma once

#include "service/Conexao.h"

#include <QString>

// The connection together with the session key FChave that every request after the login
// carries. Written once by the login before any worker starts, then only read.
class Sessao {
public:
    explicit Sessao(Conexao &conexao) : FConexao(conexao) {}

    Conexao &conexao() const { return FConexao; }
    const QString &chave() const { return FChave; }
    void setChave(const QString &chave) { FChave = chave; }

private:
    Conexao &FConexao;
    QString FChave;
};
