#pragma once

#include "catalog/TabelaPesquisa.h"
#include "catalog/ThreadCarga.h"

// The worker of page "Scripts": fetches "/pesquisar" into cdsPesquisa; its end-of-run handler is
// FimPesquisa.
class ThreadPesquisa : public ThreadCarga<RegistroScript, TabelaPesquisa> {
public:
    ThreadPesquisa(Conexao &conexao, TabelaPesquisa &cdsPesquisa, Espera &espera);
};
