#pragma once

#include "service/CamposRequisicao.h"

#include <functional>

class Conexao;
namespace json {
class TJSONObject;
}

// The paged fetch shared by both searches: asks page after page with "lidos" = records received
// so far, hands every element to the callback in order, and ends when "registros" is reached or a
// page comes back empty. Returns the number of records received (a last page may overshoot).
// Transport, JSON and callback failures propagate; records handed over before stay handed over.
int BuscaPaginada(Conexao &conexao, const QString &endereco, CamposRequisicao campos, int registros,
                  const std::function<void(const json::TJSONObject &)> &porRegistro);
