#pragma once

#include "server/Armazenamento.h"
#include "server/TentativasLogin.h"

#include <QString>

// What every request handler may use.
struct ContextoServidor {
    Armazenamento &armazenamento;
    QString versao;         // answered by the version request
    int tamanhoPagina = 50; // records per search page
    TentativasLogin tentativasLogin{};
};
