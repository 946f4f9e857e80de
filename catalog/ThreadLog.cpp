#include "catalog/ThreadLog.h"

#include "service/Protocolo.h"

ThreadLog::ThreadLog(Conexao &conexao, TabelaLog &cdsLog, Espera &espera)
    : ThreadCarga(Protocolo::BuscarLogs, conexao, cdsLog, espera) {}
