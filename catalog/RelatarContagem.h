#pragma once

#include "service/Protocolo.h"

#include <QString>

#include <exception>

class Messages;

// The counting step of a search as the user hears of it. Returns true when the search stops there,
// after telling why:
//   - transport failure: the general error report with the error's own text;
//   - a reply that does not read: error box `falhaLeitura`;
//   - "success" false: error box with the service's "message";
//   - no record (or a negative count): information box `nadaEncontrado`.
// `contagem` is null when the count's reply never arrived or did not read; `erro` then says why.
struct TextosContagem {
    QString falhaLeitura;
    QString nadaEncontrado;
};

bool RelatarContagem(Messages &messages, std::exception_ptr erro, const Protocolo::RespostaContagem *contagem,
                     const TextosContagem &textos);
