#pragma once

#include <QFrame>
#include <QString>

#include <atomic>

class QLabel;
class QProgressBar;

// The "Aguarde" progress window of busy mode, embedded as a child of the overlay with a drawn
// tool-window title bar. A worker may read Maximo and Valor and set Valor from its own thread:
// the value is stored at once and the bar's change is queued to the interface thread.
class TfrmProgresso : public QFrame {
    Q_OBJECT
public:
    explicit TfrmProgresso(QWidget *parent = nullptr);

    QString Mensagem() const { return FMensagem; }
    void setMensagem(const QString &mensagem);
    int Minimo() const { return FMinimo; }
    void setMinimo(int minimo);
    int Maximo() const { return FMaximo; }
    void setMaximo(int maximo);
    int Valor() const { return FValor; }
    void setValor(int valor);

    QLabel *lblMensagem() const { return m_lblMensagem; }
    QProgressBar *Progresso() const { return m_progresso; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QFrame *m_panel1;
    QProgressBar *m_progresso;
    QLabel *m_lblMensagem;
    std::atomic<int> FValor{0};
    std::atomic<int> FMaximo{0};
    std::atomic<int> FMinimo{0};
    QString FMensagem;
};
