#pragma once

#include <QFrame>
#include <QString>

#include <atomic>

class Cancelamento;
class QLabel;
class QProgressBar;
class QPushButton;

// The "Aguarde" progress window of busy mode, embedded as a child of the overlay with a drawn
// tool-window title bar. A worker may read Maximo and Valor and set Valor from its own thread:
// the value is stored at once and the bar's change is queued to the interface thread. With a
// maximum the window shows "n de m" beside the bar; with a Cancelamento it shows "Cancelar".
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

    // Interface thread. Shows "Cancelar", which sets `cancelamento`; nullptr hides it again.
    void setCancelamento(Cancelamento *cancelamento);

    QLabel *lblMensagem() const { return m_lblMensagem; }
    QProgressBar *Progresso() const { return m_progresso; }
    QLabel *lblContagem() const { return m_lblContagem; }
    QPushButton *btCancelar() const { return m_btCancelar; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void btCancelarClick();
    void mostrarValor(int valor);
    void ajustarTamanho();

    QFrame *m_panel1;
    QProgressBar *m_progresso;
    QLabel *m_lblMensagem;
    QLabel *m_lblContagem;
    QPushButton *m_btCancelar;
    Cancelamento *m_cancelamento = nullptr;
    std::atomic<int> FValor{0};
    std::atomic<int> FMaximo{0};
    std::atomic<int> FMinimo{0};
    QString FMensagem;
};
