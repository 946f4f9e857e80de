#pragma once

#include "base/Espera.h"
#include "widgets/TfrmProgresso.h"

#include <QPointer>
#include <QSize>

#include <atomic>

class QWidget;
class TBRBackgroundPanel;

// Busy mode of a window: the content widget is covered by a darkened still picture of itself
// with the "Aguarde" progress window centred on it, and the window's frame is fixed (no
// resizing, no minimise or maximise box) until the mode ends.
class ModoEspera : public Espera {
public:
    ModoEspera(QWidget *janela, QWidget *conteudo);
    ~ModoEspera() override;

    void IniciarEspera(int maximo, const QString &mensagem) override;
    void IniciarEspera(int maximo, const QString &mensagem, Cancelamento *cancelamento) override;
    void FinalizarEspera() override;
    int Valor() const override;
    void setValor(int valor) override;
    int Maximo() const override;

    bool ativo() const { return m_overlay != nullptr; }
    TBRBackgroundPanel *overlay() const { return m_overlay; }
    TfrmProgresso *frmProgresso() const { return m_progresso; }

private:
    void fixarMoldura(bool fixa);

    QWidget *m_janela;
    QWidget *m_conteudo;
    TBRBackgroundPanel *m_overlay = nullptr;
    QPointer<TfrmProgresso> m_progresso;
    QPointer<QWidget> m_focoAntes; // given back when busy mode ends
    // What a worker thread reads: the progress window of the current busy period.
    std::atomic<TfrmProgresso *> m_progressoWorker{nullptr};
    QSize m_minimo;
    QSize m_maximo;
};
