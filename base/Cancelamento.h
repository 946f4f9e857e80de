#pragma once

#include <atomic>

// A request to stop a long action, set by the interface thread (a "Cancelar" button) and read by
// the worker doing the action and by the HTTP connection's transfer callback. One object per
// action: once set it stays set, so a stop that arrives between two requests is not lost.
class Cancelamento {
public:
    void cancelar() { m_cancelado.store(true); }
    bool cancelado() const { return m_cancelado.load(); }

private:
    std::atomic<bool> m_cancelado{false};
};
