#pragma once

#include "base/Cancelamento.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>

class QThread;

// The thread plumbing of a page's requests: runs a body on its own thread, one run at a time,
// while the interface thread goes on painting. The body reaches the interface thread only through
// NaInterface, which runs a piece of code there and waits for it, so rows reach their table
// without racing the grid's painting. The end-of-run handler runs there too, after the body's
// last call, with what ended the body: nothing after a normal end, ErroCancelado after the run's
// Cancelamento was set, any other exception after a failure. Every request the body sends
// watches the run's Cancelamento. The thread is freed when its run ends.
class ThreadBusca {
public:
    using NaInterface = std::function<void(const std::function<void()> &)>;
    using Corpo = std::function<void(const NaInterface &)>;
    using Fim = std::function<void(std::exception_ptr erro)>;

    ThreadBusca() = default;
    // Stops a run in progress (its request is aborted) and waits for its thread; nothing more
    // reaches the interface.
    ~ThreadBusca();
    ThreadBusca(const ThreadBusca &) = delete;
    ThreadBusca &operator=(const ThreadBusca &) = delete;

    // Interface thread. Returns false, and does nothing, while a run is in progress.
    bool Iniciar(Corpo corpo, Fim fim);
    bool Executando() const { return FExecutando; }
    // The stop flag of the current run, for its "Cancelar"; null between runs.
    Cancelamento *cancelamento() const { return FExecutando ? FCancelamento.get() : nullptr; }

    // The text of a failure for a message box ("Falha desconhecida." when it has none).
    static QString Mensagem(std::exception_ptr erro);

private:
    void Executar(const Corpo &corpo, const Fim &fim, const Cancelamento &cancelamento);

    QObject FContexto; // lives on the interface thread; the worker's calls run through it
    QPointer<QThread> FThread;
    bool FExecutando = false;
    std::atomic_bool FDestruindo = false;
    // One per run, shared with the worker: a stop that comes late still finds its object.
    std::shared_ptr<Cancelamento> FCancelamento;
};
