#include "editor/SalvarServidorTarefa.h"

#include "service/Conexao.h"

SalvarServidorTarefa::SalvarServidorTarefa(Sessao &sessao, QObject *parent)
    : QObject(parent), m_sessao(sessao) {}

SalvarServidorTarefa::~SalvarServidorTarefa() {
    if (!m_thread)
        return;
    m_execucao->cancelamento.cancelar();
    m_thread->wait();
    delete m_thread;
}

bool SalvarServidorTarefa::Iniciar(int codigo, const QByteArray &script) {
    if (m_thread)
        return false;
    auto execucao = std::make_shared<Execucao>();
    m_execucao = execucao;
    Sessao &sessao = m_sessao;
    m_thread = QThread::create([execucao, &sessao, codigo, script] {
        Conexao::Cancelavel cancelavel(execucao->cancelamento);
        try {
            execucao->resposta = Protocolo::Atualizar(sessao, codigo, script);
        } catch (...) {
            execucao->erro = std::current_exception();
        }
    });
    // Delivered on this object's (the interface) thread after the body's last write; a run
    // already delivered by CancelarEEsperar is not delivered again.
    QThread *thread = m_thread;
    connect(thread, &QThread::finished, this, [this, thread] {
        if (m_thread == thread)
            Entregar();
    });
    m_thread->start();
    return true;
}

void SalvarServidorTarefa::Cancelar() {
    if (m_thread)
        m_execucao->cancelamento.cancelar();
}

void SalvarServidorTarefa::CancelarEEsperar() {
    if (!m_thread)
        return;
    Cancelar();
    m_thread->wait();
    Entregar();
}

void SalvarServidorTarefa::Entregar() {
    m_thread->deleteLater();
    m_thread = nullptr;
    const std::shared_ptr<Execucao> execucao = std::move(m_execucao);
    emit terminou(execucao->resposta, execucao->erro);
}
