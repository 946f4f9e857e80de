#include "server/Tratadores.h"

const QList<Rota> &Rotas() {
    static const QList<Rota> rotas = {
        {true, "/services/index.php/scripts/login", TratarLogin},
        {true, "/services/index.php/scripts/inserir", TratarInserir},
        {true, "/services/index.php/scripts/pesquisar", TratarPesquisar},
        {true, "/services/index.php/scripts/pesquisar_log", TratarPesquisarLog},
        {true, "/services/index.php/scripts/atualizar", TratarAtualizar},
        {false, "/services/index.php/scripts/excluir", TratarExcluir},
        {false, "/services/index.php/versao/listar", TratarVersao},
    };
    return rotas;
}
