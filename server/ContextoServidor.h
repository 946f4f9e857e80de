#pragma once

#include "server/Armazenamento.h"
#include "server/TentativasLogin.h"

#include <QString>

// What every request handler may use.
struct ContextoServidor {
    ContextoServidor(Armazenamento &armazenamento, QString versao, int tamanhoPagina = 50)
        : armazenamento(armazenamento), versao(std::move(versao)), tamanhoPagina(tamanhoPagina),
          tentativasLogin(armazenamento) {}

    Armazenamento &armazenamento;
    QString versao;    // answered by the version request
    int tamanhoPagina; // records per search page
    TentativasLogin tentativasLogin;
};
