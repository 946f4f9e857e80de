#pragma once

#include "base/Cancelamento.h"
#include "base/EsperaAdiada.h"

#include <QString>

#include <functional>

// Start-up's version check on a thread of its own while the interface thread turns its events in
// a local loop: against a silent service the check waits for the connection's time-outs, and that
// wait shows (only when it lasts) with a way to stop it. A stopped check aborts its request and
// ends as any failed check does: its lines in "log.log" and the own version as the reply.
class VerificacaoVersao {
public:
    using Verificador = std::function<QString()>;

    // `mostrar` gets the Cancelamento that its "Cancelar" is to set.
    VerificacaoVersao(Verificador verificar, std::function<void(Cancelamento &)> mostrar,
                      std::function<void()> esconder);

    // Interface thread: the check's result, or the exception the check threw.
    QString executar();

private:
    Verificador m_verificar;
    Cancelamento m_cancelamento;
    EsperaAdiada m_espera;
};
