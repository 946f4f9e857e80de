#include "app/VerificacaoVersao.h"

#include "service/Conexao.h"

#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

VerificacaoVersao::VerificacaoVersao(Verificador verificar, std::function<void(Cancelamento &)> mostrar,
                                     std::function<void()> esconder)
    : m_verificar(std::move(verificar)),
      m_espera([this, mostrar = std::move(mostrar)] { mostrar(m_cancelamento); }, std::move(esconder)) {}

QString VerificacaoVersao::executar() {
    QString resposta;
    std::exception_ptr erro;
    std::unique_ptr<QThread> thread(QThread::create([this, &resposta, &erro] {
        // The connection aborts this thread's request as soon as "Cancelar" is pressed.
        const Conexao::Cancelavel cancelavel(m_cancelamento);
        try {
            resposta = m_verificar();
        } catch (...) {
            erro = std::current_exception();
        }
    }));
    QEventLoop laco;
    // A check that ends before the loop runs leaves its quit queued for it.
    QObject::connect(thread.get(), &QThread::finished, &laco, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    m_espera.Armar();
    laco.exec();
    m_espera.Desarmar();
    thread->wait();
    if (erro)
        std::rethrow_exception(erro);
    return resposta;
}
