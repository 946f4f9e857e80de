#include "catalog/ThreadPesquisa.h"

#include "service/Protocolo.h"

ThreadPesquisa::ThreadPesquisa(Conexao &conexao, TabelaPesquisa &cdsPesquisa, Espera &espera)
    : ThreadCarga(Protocolo::BuscarScripts, conexao, cdsPesquisa, espera) {}
