#pragma once

#include "catalog/ThreadBusca.h"
#include "service/CamposRequisicao.h"
#include "base/Espera.h"

#include <functional>

class Conexao;

// The worker of a search page: fetches the pages of its search until the progress window's
// Maximo records have arrived, appending each record to the page's table and adding 1 to Valor.
// A record that does not read ends the fetch without a row; the rows before it stay.
template <class Registro, class Tabela> class ThreadCarga {
public:
    // Interface thread, in busy mode. Ignored (false) while a run is in progress. `fim` runs on
    // the interface thread when the run ends, with the failure's message or "".
    bool Iniciar(const CamposRequisicao &campos, ThreadBusca::Fim fim) {
        const int registros = FEspera.Maximo();
        return FThread.Iniciar(
            [this, campos, registros](const ThreadBusca::NaInterface &naInterface) {
                FBuscar(FConexao, campos, registros, [&](const Registro &registro) {
                    naInterface([&] {
                        FTabela.Adicionar(registro);
                        FEspera.setValor(FEspera.Valor() + 1);
                    });
                });
            },
            std::move(fim));
    }
    bool Executando() const { return FThread.Executando(); }

protected:
    // The paged fetch of the search, as Protocolo has it.
    using Buscar = int (*)(Conexao &, const CamposRequisicao &, int,
                           const std::function<void(const Registro &)> &);

    ThreadCarga(Buscar buscar, Conexao &conexao, Tabela &tabela, Espera &espera)
        : FBuscar(buscar), FConexao(conexao), FTabela(tabela), FEspera(espera) {}

private:
    Buscar FBuscar;
    Conexao &FConexao;
    Tabela &FTabela;
    Espera &FEspera;
    ThreadBusca FThread;
};
