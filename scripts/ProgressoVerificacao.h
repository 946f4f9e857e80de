#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QToolButton;
class VerificacaoServico;

// The status lookup's place in the count bar of page "Envio": while it runs, a progress bar and
// "Cancelar"; after a failure or a stop, a line that says so (the rows then show no state).
class ProgressoVerificacao : public QWidget {
    Q_OBJECT
public:
    ProgressoVerificacao(VerificacaoServico &verificacao, QWidget *parent = nullptr);

private:
    QLabel *lblNoServico;
    QProgressBar *pbNoServico;
    QToolButton *btCancelarConsulta;
};
