#pragma once

#include "catalog/ThreadBusca.h"

#include <QByteArray>
#include <QList>
#include <QTimer>

#include <functional>
#include <optional>

class Sessao;

// Reads scripts back by their codes (a search with the code filter) after a save or a delete
// that was cancelled once its request had left: the service may have done it all the same. A read
// that gets no answer is tried again a moment later, for as long as the service stays away; each
// answer reaches `lido` on the interface thread, with the stored text or none when the service
// holds no such script. A refusal or a reply that does not read ends that code's reads: there is
// nothing better to learn from the service then.
//
// A service that comes back may carry out the stopped request after answering the first read
// (both waited for it), so each code is read a second time a moment after its first answer.
class ReleituraScripts {
public:
    using Lido = std::function<void(int codigo, const std::optional<QByteArray> &texto)>;
    static constexpr int PausaMs = 2000;
    static constexpr int Leituras = 2;

    ReleituraScripts(Sessao &sessao, Lido lido);

    // Interface thread. A code already waiting starts its reads over.
    void Pedir(int codigo);

private:
    struct Pedido {
        int codigo;
        int leituras; // answers still to get
    };
    void Enfileirar(const Pedido &pedido);
    void Proxima();

    Sessao &m_sessao;
    Lido m_lido;
    QList<Pedido> m_pendentes;
    QTimer m_pausa;
    ThreadBusca m_thread; // last: stopped before the rest goes
};
