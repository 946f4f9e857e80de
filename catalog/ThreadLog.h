#pragma once

#include "catalog/TabelaLog.h"
#include "catalog/ThreadCarga.h"

// The worker of page "Log": fetches "/pesquisar_log" into cdsLog; its end-of-run handler is
// FimPesquisaLog.
class ThreadLog : public ThreadCarga<RegistroLog, TabelaLog> {
public:
    ThreadLog(Conexao &conexao, TabelaLog &cdsLog, Espera &espera);
};
