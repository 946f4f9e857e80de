#include "widgets/ModoEspera.h"

#include "widgets/Centralizar.h"
#include "widgets/TBRBackgroundPanel.h"
#include "widgets/TfrmProgresso.h"

#include <QApplication>
#include <QObject>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

ModoEspera::ModoEspera(QWidget *janela, QWidget *conteudo) : m_janela(janela), m_conteudo(conteudo) {}

ModoEspera::~ModoEspera() = default;

void ModoEspera::IniciarEspera(int maximo, const QString &mensagem) {
    IniciarEspera(maximo, mensagem, nullptr);
}

void ModoEspera::IniciarEspera(int maximo, const QString &mensagem, Cancelamento *cancelamento) {
    if (m_overlay) // a caller that did not end the last period: start afresh
        FinalizarEspera();
    m_overlay = new TBRBackgroundPanel(m_conteudo);
    m_overlay->setObjectName(QStringLiteral("BRBackgroundPanel"));
    m_overlay->UpdateScreen(-50, 0);
    fixarMoldura(true);

    auto *progresso = new TfrmProgresso(m_overlay);
    m_progresso = progresso;
    progresso->setCancelamento(cancelamento);
    progresso->show();
    progresso->move(Centralizar(m_overlay->size(), progresso->frameGeometry().size()));
    if (cancelamento) { // keys no longer reach the covered page; Enter or Esc stops the action
        QWidget *foco = QApplication::focusWidget();
        m_focoAntes = foco && m_janela->isAncestorOf(foco) ? foco : nullptr;
        progresso->btCancelar()->setFocus();
    }
    QObject::connect(progresso, &QObject::destroyed, m_overlay, [this, progresso]() mutable {
        m_progressoWorker.compare_exchange_strong(progresso, nullptr);
    });
    m_progressoWorker = progresso;

    progresso->setValor(0);
    progresso->setMaximo(maximo);
    progresso->setMensagem(mensagem);
}

void ModoEspera::FinalizarEspera() {
    fixarMoldura(false);
    m_progressoWorker = nullptr;
    delete m_progresso.data();
    delete m_overlay;
    m_overlay = nullptr;
    m_progresso = nullptr;
    if (m_focoAntes) {
        m_focoAntes->setFocus();
        m_focoAntes = nullptr;
    }
}

int ModoEspera::Valor() const {
    const TfrmProgresso *p = m_progressoWorker;
    return p ? p->Valor() : 0;
}

void ModoEspera::setValor(int valor) {
    if (TfrmProgresso *p = m_progressoWorker)
        p->setValor(valor);
}

int ModoEspera::Maximo() const {
    const TfrmProgresso *p = m_progressoWorker;
    return p ? p->Maximo() : 0;
}

void ModoEspera::fixarMoldura(bool fixa) {
    Qt::WindowFlags flags = m_janela->windowFlags();
    if (fixa) {
        m_minimo = m_janela->minimumSize();
        m_maximo = m_janela->maximumSize();
        m_janela->setFixedSize(m_janela->size());
        flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    } else {
        if (m_minimo.isValid()) {
            m_janela->setMinimumSize(m_minimo);
            m_janela->setMaximumSize(m_maximo);
        }
        flags |= Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    }
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    // setWindowFlags would hide a visible window; tell the platform window directly instead.
    m_janela->overrideWindowFlags(flags);
    if (QWindow *handle = m_janela->windowHandle())
        handle->setFlags(flags);
}
