#pragma once

#include <QString>

class Cancelamento;

// Busy mode of the main window, as the pages see it: the content is replaced by a darkened
// still picture with the "Aguarde" progress window centred on it.
class Espera {
public:
    virtual ~Espera() = default;

    // Interface thread only. A maximum of 0 means the amount of work is not known yet: the bar
    // only shows that something is going on.
    virtual void IniciarEspera(int maximo, const QString &mensagem) = 0;
    // The same with a "Cancelar" button in the progress window, which sets `cancelamento` (it must
    // outlive the busy period). The worker notices the stop and ends busy mode as usual. A
    // busy mode that cannot show the button keeps this default: it waits without one.
    virtual void IniciarEspera(int maximo, const QString &mensagem, Cancelamento *cancelamento) {
        (void)cancelamento;
        IniciarEspera(maximo, mensagem);
    }
    virtual void FinalizarEspera() = 0;

    // The progress window's values. A worker may call these from its own thread while busy:
    // setValor stores the value at once and hands the bar's change to the interface thread.
    virtual int Valor() const = 0;
    virtual void setValor(int valor) = 0;
    virtual int Maximo() const = 0;
};
