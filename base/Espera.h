#pragma once

#include <QString>

// Busy mode of the main window, as the pages see it: the content is replaced by a darkened
// still picture with the "Aguarde" progress window centred on it.
class Espera {
public:
    virtual ~Espera() = default;

    // Interface thread only.
    virtual void IniciarEspera(int maximo, const QString &mensagem) = 0;
    virtual void FinalizarEspera() = 0;

    // The progress window's values. A worker may call these from its own thread while busy:
    // setValor stores the value at once and hands the bar's change to the interface thread.
    virtual int Valor() const = 0;
    virtual void setValor(int valor) = 0;
    virtual int Maximo() const = 0;
};
