#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>

class QThread;

// The thread plumbing of a search worker: runs a fetch on its own thread, one run at a time.
// The fetch reaches the interface thread only through NaInterface, which runs a piece of code
// there and waits for it, so rows reach their table without racing the grid's painting. The
// end-of-run handler runs there too, after the fetch's last call, with the failure's message
// (empty after a normal end). The thread is freed when its run ends.
class ThreadBusca {
public:
    using NaInterface = std::function<void(const std::function<void()> &)>;
    using Corpo = std::function<void(const NaInterface &)>;
    using Fim = std::function<void(const QString &falha)>;

    ThreadBusca() = default;
    // Cancels a run in progress and waits for its thread: a request already sent is let end,
    // nothing more reaches the interface.
    ~ThreadBusca();
    ThreadBusca(const ThreadBusca &) = delete;
    ThreadBusca &operator=(const ThreadBusca &) = delete;

    // Interface thread. Returns false, and does nothing, while a run is in progress.
    bool Iniciar(Corpo corpo, Fim fim);
    bool Executando() const { return FExecutando; }

private:
    void Executar(const Corpo &corpo, const Fim &fim);

    QObject FContexto; // lives on the interface thread; the worker's calls run through it
    QPointer<QThread> FThread;
    bool FExecutando = false;
    std::atomic_bool FCancelado = false;
};
