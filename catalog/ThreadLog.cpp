#include "catalog/ThreadLog.h"

#include "catalog/TabelaLog.h"
#include "service/Protocolo.h"
#include "widgets/Espera.h"

ThreadLog::ThreadLog(Conexao &conexao, TabelaLog &cdsLog, Espera &espera)
    : FConexao(conexao), FTabela(cdsLog), FEspera(espera) {}

bool ThreadLog::Iniciar(const CamposRequisicao &campos, ThreadBusca::Fim FimPesquisaLog) {
    const int registros = FEspera.Maximo();
    return FThread.Iniciar(
        [this, campos, registros](const ThreadBusca::NaInterface &naInterface) {
            Protocolo::BuscarLogs(FConexao, campos, registros, [&](const RegistroLog &registro) {
                naInterface([&] {
                    FTabela.Adicionar(registro);
                    FEspera.setValor(FEspera.Valor() + 1);
                });
            });
        },
        std::move(FimPesquisaLog));
}
