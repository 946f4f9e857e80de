#pragma once

#include <QTimer>

#include <functional>

// A wait state that shows only when the wait lasts: a reply that comes at once changes nothing
// on screen, a slow one gets the caller's wait state (busy mode, or the login window's own) with
// its "Cancelar". Interface thread only.
class EsperaAdiada {
public:
    static constexpr int AtrasoMs = 500;

    EsperaAdiada(std::function<void()> mostrar, std::function<void()> esconder);

    // Starts the delay; `mostrar` runs when it passes before Desarmar.
    void Armar();
    // Stops the delay, and runs `esconder` when `mostrar` ran.
    void Desarmar();
    bool Mostrada() const { return m_mostrada; }

private:
    std::function<void()> m_mostrar;
    std::function<void()> m_esconder;
    QTimer m_atraso;
    bool m_mostrada = false;
};
