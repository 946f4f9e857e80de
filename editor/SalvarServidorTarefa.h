#pragma once

#include "base/Cancelamento.h"
#include "service/Protocolo.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <exception>
#include <memory>

class Sessao;

// The "/atualizar" request of a server save, sent from a worker thread so that the window keeps
// painting and can offer "Cancelar". The outcome reaches the interface thread through `terminou`,
// once per run: the reply, or the exception that ended the request (ErroCancelado after a stop).
class SalvarServidorTarefa : public QObject {
    Q_OBJECT
public:
    explicit SalvarServidorTarefa(Sessao &sessao, QObject *parent = nullptr);
    // Stops a request in progress and waits for its thread; `terminou` is not emitted then.
    ~SalvarServidorTarefa() override;

    // Interface thread; false, and nothing sent, while a run is in progress.
    bool Iniciar(int codigo, const QByteArray &script);
    bool Executando() const { return m_thread != nullptr; }
    // The request is aborted at once; `terminou` follows with ErroCancelado (or with the reply,
    // when it had already come).
    void Cancelar();
    // Cancels, waits for the thread and emits `terminou` before returning.
    void CancelarEEsperar();

signals:
    void terminou(const Protocolo::Resposta &resposta, std::exception_ptr erro);

private:
    struct Execucao {
        Cancelamento cancelamento;
        Protocolo::Resposta resposta;
        std::exception_ptr erro;
    };
    void Entregar();

    Sessao &m_sessao;
    QPointer<QThread> m_thread;
    std::shared_ptr<Execucao> m_execucao;
};
