#pragma once

#include "base/Espera.h"

#include <QStringList>

#include <atomic>

// Busy mode without a window: records entering and leaving, and keeps the progress values.
class RecordingEspera : public Espera {
public:
    void IniciarEspera(int maximo, const QString &mensagem) override {
        eventos << QStringLiteral("Iniciar %1 %2").arg(maximo).arg(mensagem);
        m_valor = 0;
        m_maximo = maximo;
    }
    void FinalizarEspera() override { eventos << QStringLiteral("Finalizar"); }
    int Valor() const override { return m_valor; }
    void setValor(int valor) override { m_valor = valor; }
    int Maximo() const override { return m_maximo; }

    QStringList eventos;

private:
    std::atomic_int m_valor = 0;
    std::atomic_int m_maximo = 0;
};
