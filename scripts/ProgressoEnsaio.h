#pragma once

#include <QWidget>

class ControleEnsaio;
class QLabel;
class QProgressBar;
class QToolButton;

// The trial's place in the count bar of page "Envio": while it runs, "Ensaio: n de m", a
// progress bar and "Cancelar"; afterwards a line with its outcome.
class ProgressoEnsaio : public QWidget {
    Q_OBJECT
public:
    ProgressoEnsaio(ControleEnsaio &ensaio, QWidget *parent = nullptr);

private:
    QLabel *lblEnsaio;
    QProgressBar *pbEnsaio;
    QToolButton *btCancelarEnsaio;
};
