#pragma once

#include "catalog/ThreadBusca.h"
#include "service/CamposRequisicao.h"

class Conexao;
class Espera;
class TabelaLog;

// The worker of page "Log": fetches the pages of "/pesquisar_log" until the progress window's
// Maximo records have arrived, appending each record to cdsLog and adding 1 to Valor.
// A record that does not read ends the fetch without a row; the rows before it stay.
class ThreadLog {
public:
    ThreadLog(Conexao &conexao, TabelaLog &cdsLog, Espera &espera);

    // Interface thread, in busy mode. Ignored (false) while a run is in progress.
    // FimPesquisaLog runs on the interface thread when the run ends, with the failure's message or "".
    bool Iniciar(const CamposRequisicao &campos, ThreadBusca::Fim FimPesquisaLog);
    bool Executando() const { return FThread.Executando(); }

private:
    Conexao &FConexao;
    TabelaLog &FTabela;
    Espera &FEspera;
    ThreadBusca FThread;
};
