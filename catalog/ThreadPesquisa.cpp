#include "catalog/ThreadPesquisa.h"

#include "catalog/TabelaPesquisa.h"
#include "service/Protocolo.h"
#include "widgets/Espera.h"

ThreadPesquisa::ThreadPesquisa(Conexao &conexao, TabelaPesquisa &cdsPesquisa, Espera &espera)
    : FConexao(conexao), FTabela(cdsPesquisa), FEspera(espera) {}

bool ThreadPesquisa::Iniciar(const CamposRequisicao &campos, ThreadBusca::Fim FimPesquisa) {
    const int registros = FEspera.Maximo();
    return FThread.Iniciar(
        [this, campos, registros](const ThreadBusca::NaInterface &naInterface) {
            Protocolo::BuscarScripts(FConexao, campos, registros, [&](const RegistroScript &registro) {
                naInterface([&] {
                    FTabela.Adicionar(registro);
                    FEspera.setValor(FEspera.Valor() + 1);
                });
            });
        },
        std::move(FimPesquisa));
}
