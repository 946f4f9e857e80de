#pragma once

#include "base/Cancelamento.h"
#include "base/Espera.h"

#include <QStringList>

#include <atomic>

// Busy mode without a window: records entering and leaving, keeps the progress values and the
// stop flag that its "Cancelar" would set.
class RecordingEspera : public Espera {
public:
    void IniciarEspera(int maximo, const QString &mensagem) override {
        IniciarEspera(maximo, mensagem, nullptr);
    }
    void IniciarEspera(int maximo, const QString &mensagem, Cancelamento *c) override {
        eventos << QStringLiteral("Iniciar %1 %2").arg(maximo).arg(mensagem);
        m_valor = 0;
        m_maximo = maximo;
        cancelamento = c;
    }
    void FinalizarEspera() override {
        eventos << QStringLiteral("Finalizar");
        cancelamento = nullptr;
    }
    // The events without the busy periods of unknown length that a slow reply brings (a loaded
    // machine may make any request slow), for checks of what a normal run does.
    QStringList semEsperaDeResposta() const {
        QStringList resto;
        for (int i = 0; i < eventos.size(); ++i) {
            if (eventos[i].startsWith(QLatin1String("Iniciar 0 "))) {
                ++i; // and its end
                continue;
            }
            resto << eventos[i];
        }
        return resto;
    }
    bool ativa() const { return !eventos.isEmpty() && eventos.last().startsWith(QLatin1String("Iniciar")); }
    // What "Cancelar" does; false when busy mode shows no such button.
    bool cancelar() {
        if (!cancelamento)
            return false;
        cancelamento->cancelar();
        return true;
    }
    int Valor() const override { return m_valor; }
    void setValor(int valor) override { m_valor = valor; }
    int Maximo() const override { return m_maximo; }

    QStringList eventos;
    Cancelamento *cancelamento = nullptr;

private:
    std::atomic_int m_valor = 0;
    std::atomic_int m_maximo = 0;
};
