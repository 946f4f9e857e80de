#pragma once

#include "server/ContextoServidor.h"
#include "server/Formulario.h"
#include "server/RespostaServico.h"

#include <QList>

// One handler per endpoint of the service; each reads its fields from the decoded form (POST)
// or query (GET) and never throws.
RespostaServico TratarLogin(ContextoServidor &contexto, const Formulario &campos);
RespostaServico TratarInserir(ContextoServidor &contexto, const Formulario &campos);
RespostaServico TratarPesquisar(ContextoServidor &contexto, const Formulario &campos);
RespostaServico TratarPesquisarLog(ContextoServidor &contexto, const Formulario &campos);
RespostaServico TratarAtualizar(ContextoServidor &contexto, const Formulario &campos);
RespostaServico TratarExcluir(ContextoServidor &contexto, const Formulario &campos);
RespostaServico TratarVersao(ContextoServidor &contexto, const Formulario &campos);

struct Rota {
    bool post; // else GET
    const char *caminho;
    RespostaServico (*tratar)(ContextoServidor &, const Formulario &);
};

// Every endpoint with its method and full path.
const QList<Rota> &Rotas();
