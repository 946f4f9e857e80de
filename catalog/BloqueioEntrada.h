#pragma once

#include <QObject>

class QWidget;

// While it lives, the mouse and the keyboard do nothing in `janela`: the short moment between a
// click that sends a request and busy mode's overlay, so that no second action starts meanwhile
// (the overlay does the same job once it shows). Closing the window still works.
class BloqueioEntrada : public QObject {
public:
    explicit BloqueioEntrada(QWidget *janela);
    ~BloqueioEntrada() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_janela;
};
