#include "catalog/ThreadBusca.h"

#include "base/ErroGeral.h"
#include "service/Conexao.h"

#include <QCoreApplication>
#include <QThread>

namespace {

struct Abandonado {};

} // namespace

ThreadBusca::~ThreadBusca() {
    FDestruindo = true;
    if (FCancelamento)
        FCancelamento->cancelar();
    if (!FThread)
        return;
    // The worker may be waiting for a call on this thread: let such calls through (they do
    // nothing now) until the thread has ended.
    while (!FThread->wait(10))
        QCoreApplication::sendPostedEvents(&FContexto, QEvent::MetaCall);
    delete FThread.data();
}

bool ThreadBusca::Iniciar(Corpo corpo, Fim fim) {
    if (FExecutando)
        return false;
    FExecutando = true;
    FCancelamento = std::make_shared<Cancelamento>();
    QThread *thread =
        QThread::create([this, corpo = std::move(corpo), fim = std::move(fim), cancelamento = FCancelamento] {
            Executar(corpo, fim, *cancelamento);
        });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    FThread = thread;
    thread->start();
    return true;
}

void ThreadBusca::Executar(const Corpo &corpo, const Fim &fim, const Cancelamento &cancelamento) {
    const NaInterface naInterface = [this](const std::function<void()> &trecho) {
        if (FDestruindo)
            throw Abandonado{};
        QMetaObject::invokeMethod(
            &FContexto,
            [this, &trecho] {
                if (!FDestruindo)
                    trecho();
            },
            Qt::BlockingQueuedConnection);
        if (FDestruindo)
            throw Abandonado{};
    };

    std::exception_ptr erro;
    try {
        const Conexao::Cancelavel guarda(cancelamento);
        corpo(naInterface);
    } catch (const Abandonado &) {
        return;
    } catch (...) {
        erro = std::current_exception();
    }
    try {
        naInterface([this, &fim, &erro] {
            FExecutando = false;
            fim(erro);
        });
    } catch (const Abandonado &) {
    }
}

QString ThreadBusca::Mensagem(std::exception_ptr erro) {
    QString texto;
    try {
        std::rethrow_exception(erro);
    } catch (const std::exception &e) {
        texto = ErroGeral::mensagem(e);
    } catch (...) {
    }
    return texto.isEmpty() ? QStringLiteral("Falha desconhecida.") : texto;
}
