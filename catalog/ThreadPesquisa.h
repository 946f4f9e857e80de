#pragma once

#include "catalog/ThreadBusca.h"
#include "service/CamposRequisicao.h"

class Conexao;
class Espera;
class TabelaPesquisa;

// The worker of page "Scripts": fetches the pages of "/pesquisar" until the progress window's
// Maximo records have arrived, appending each record to cdsPesquisa and adding 1 to Valor.
// A record that does not read ends the fetch without a row; the rows before it stay.
class ThreadPesquisa {
public:
    ThreadPesquisa(Conexao &conexao, TabelaPesquisa &cdsPesquisa, Espera &espera);

    // Interface thread, in busy mode. Ignored (false) while a run is in progress. FimPesquisa
    // runs on the interface thread when the run ends, with the failure's message or "".
    bool Iniciar(const CamposRequisicao &campos, ThreadBusca::Fim FimPesquisa);
    bool Executando() const { return FThread.Executando(); }

private:
    Conexao &FConexao;
    TabelaPesquisa &FTabela;
    Espera &FEspera;
    ThreadBusca FThread;
};
