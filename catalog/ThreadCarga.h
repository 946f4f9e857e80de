#pragma once

#include "base/Espera.h"
#include "catalog/ThreadBusca.h"
#include "service/CamposRequisicao.h"
#include "service/Protocolo.h"

#include <functional>
#include <memory>

class Conexao;

// The worker of a search page: counts the records of the search and, when there are any, lets the
// page enter busy mode for them and fetches the pages until the progress window's Maximo records
// have arrived, appending each record to the page's table and adding 1 to Valor. No page is asked
// for once Maximo records have arrived, but every record of the pages received is kept, also when
// the last page overshoots. A record that does not read ends the fetch without a row; the rows
// before it stay.
template <class Registro, class Tabela> class ThreadCarga {
public:
    // What a run got to, for its end-of-run handler.
    struct Resultado {
        std::exception_ptr erro;              // what ended the run early (ErroCancelado after a stop)
        bool contou = false;                  // the count's reply was read
        Protocolo::RespostaContagem contagem; // valid when `contou`
        bool buscou = false;                  // busy mode was entered and the fetch began
    };
    // Interface thread, with the positive count: enters busy mode for the records to fetch.
    using Contados = std::function<void(int registros)>;
    using Fim = std::function<void(const Resultado &)>;

    // Interface thread. Ignored (false) while a run is in progress. `fim` runs on the interface
    // thread when the run ends.
    bool Iniciar(const QString &endereco, const CamposRequisicao &campos, Contados contados, Fim fim) {
        auto resultado = std::make_shared<Resultado>();
        return FThread.Iniciar(
            [this, resultado, endereco, campos,
             contados = std::move(contados)](const ThreadBusca::NaInterface &naInterface) {
                resultado->contagem = Protocolo::Contar(FConexao, endereco, campos);
                resultado->contou = true;
                if (!resultado->contagem.success || resultado->contagem.registros <= 0)
                    return;
                naInterface([&] { contados(resultado->contagem.registros); });
                resultado->buscou = true;
                FBuscar(FConexao, campos, FEspera.Maximo(), [&](const Registro &registro) {
                    naInterface([&] {
                        FTabela.Adicionar(registro);
                        FEspera.setValor(FEspera.Valor() + 1);
                    });
                });
            },
            [resultado, fim = std::move(fim)](std::exception_ptr erro) {
                resultado->erro = erro;
                fim(*resultado);
            });
    }
    bool Executando() const { return FThread.Executando(); }
    Cancelamento *cancelamento() const { return FThread.cancelamento(); }

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
