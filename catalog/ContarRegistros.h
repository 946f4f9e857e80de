#pragma once

#include "service/CamposRequisicao.h"

#include <QString>

class Conexao;
class Messages;

// The counting step of a search, on the interface thread: sends the fields plus "contar" and
// reports every way it can stop. Returns the "registros" to fetch, or 0 when the search stops:
//   - transport failure: the general error report with the error's own text;
//   - a reply that does not read: error box `falhaLeitura`;
//   - "success" false: error box with the service's "message";
//   - no record (or a negative count): information box `nadaEncontrado`.
struct TextosContagem {
    QString falhaLeitura;
    QString nadaEncontrado;
};

int ContarRegistros(Conexao &conexao, Messages &messages, const QString &endereco,
                    const CamposRequisicao &campos, const TextosContagem &textos);
