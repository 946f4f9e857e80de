#include "catalog/ThreadBusca.h"

#include "base/ErroGeral.h"

#include <QCoreApplication>
#include <QThread>

namespace {

struct Cancelado {};

} // namespace

ThreadBusca::~ThreadBusca() {
    FCancelado = true;
    if (!FThread)
        return;
    // The worker may be waiting for a call on this thread: let such calls through (they do
    // nothing once cancelled) until the thread has ended.
    while (!FThread->wait(10))
        QCoreApplication::sendPostedEvents(&FContexto, QEvent::MetaCall);
    delete FThread.data();
}

bool ThreadBusca::Iniciar(Corpo corpo, Fim fim) {
    if (FExecutando)
        return false;
    FExecutando = true;
    QThread *thread =
        QThread::create([this, corpo = std::move(corpo), fim = std::move(fim)] { Executar(corpo, fim); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    FThread = thread;
    thread->start();
    return true;
}

void ThreadBusca::Executar(const Corpo &corpo, const Fim &fim) {
    const NaInterface naInterface = [this](const std::function<void()> &trecho) {
        if (FCancelado)
            throw Cancelado{};
        QMetaObject::invokeMethod(
            &FContexto,
            [this, &trecho] {
                if (!FCancelado)
                    trecho();
            },
            Qt::BlockingQueuedConnection);
        if (FCancelado)
            throw Cancelado{};
    };

    QString falha;
    try {
        corpo(naInterface);
    } catch (const Cancelado &) {
        return;
    } catch (const std::exception &erro) {
        falha = ErroGeral::mensagem(erro);
        if (falha.isEmpty())
            falha = QStringLiteral("Falha desconhecida.");
    } catch (...) {
        falha = QStringLiteral("Falha desconhecida.");
    }
    try {
        naInterface([this, &fim, &falha] {
            FExecutando = false;
            fim(falha);
        });
    } catch (const Cancelado &) {
    }
}
