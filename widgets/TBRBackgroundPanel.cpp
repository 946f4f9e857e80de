#include "widgets/TBRBackgroundPanel.h"

#include "widgets/BRGraphics.h"

#include <QEvent>
#include <QPainter>
#include <QPixmap>

TBRBackgroundPanel::TBRBackgroundPanel(QWidget *owner) : QFrame(owner), FOwner(owner) {
    hide();
}

void TBRBackgroundPanel::UpdateScreen(int Brilho, int Contraste) {
    if (!FBMP)
        FBMP.emplace();
    FOwner->update();
    // Hidden while capturing, so that a second capture does not picture the panel itself.
    hide();
    *FBMP = FOwner->grab(QRect(QPoint(0, 0), FOwner->size())).toImage();
    if (Brilho != 0)
        AplicarBrilho(*FBMP, Brilho);
    if (Contraste != 0)
        AplicarContraste(*FBMP, Contraste);
    if (parentWidget() != FOwner)
        setParent(FOwner);
    setFrameShape(QFrame::NoFrame);
    setGeometry(0, 0, FOwner->width(), FOwner->height());
    FOwner->removeEventFilter(this);
    FOwner->installEventFilter(this);
    raise();
    show();
}

bool TBRBackgroundPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched == FOwner && event->type() == QEvent::Resize)
        setGeometry(0, 0, FOwner->width(), FOwner->height());
    return QFrame::eventFilter(watched, event);
}

void TBRBackgroundPanel::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    if (FBMP) {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), *FBMP);
    }
}
