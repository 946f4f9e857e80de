#include "widgets/TBRImageButton.h"

#include "widgets/ImageList.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

TBRImageButton::TBRImageButton(QWidget *parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void TBRImageButton::setCaption(const QString &caption) {
    FCaption = caption;
    update();
}

void TBRImageButton::setImageList(const ImageList *list) {
    FImageList = list;
    update();
}

void TBRImageButton::setImageNormal(int index) {
    FImageNormal = index;
    update();
}

void TBRImageButton::setImageOver(int index) {
    FImageOver = index;
    update();
}

void TBRImageButton::setImageDisable(int index) {
    FImageDisable = index;
    update();
}

void TBRImageButton::setFont(const QFont &font) {
    FFont = font;
    update();
}

void TBRImageButton::setFontColor(const QColor &color) {
    FFontColor = color;
    update();
}

void TBRImageButton::setTextAlign(TLayout align) {
    FTextAlign = align;
    update();
}

void TBRImageButton::setShowCaption(bool show) {
    FShowCaption = show;
    update();
}

int TBRImageButton::imagemAtual() const {
    int index;
    if (!isEnabled() && FImageDisable > -1)
        index = FImageDisable;
    else
        index = FState == 0 ? FImageNormal : FImageOver;
    if (!FImageList || index < 0 || index >= FImageList->count() || index > 255)
        return -1;
    return index;
}

void TBRImageButton::paintEvent(QPaintEvent *) {
    const QString text = FShowCaption ? FCaption : QString();
    const int index = imagemAtual();
    if (index < 0)
        return;
    QPainter painter(this);
    painter.setFont(FFont);
    const QFontMetrics metrics(FFont);
    const int tw = text.isEmpty() ? 0 : metrics.horizontalAdvance(text);
    const int th = text.isEmpty() ? 0 : metrics.height();
    const QSize image = FImageList->size();
    const ImageButtonLayout places =
        ImageButtonLayout::calcular(FTextAlign, width(), height(), image.width(), image.height(), tw, th);
    painter.drawPixmap(places.imagem, FImageList->pixmap(index));
    if (!text.isEmpty()) {
        painter.setPen(FFontColor);
        painter.drawText(QRect(places.texto, QSize(tw, th)),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
}

void TBRImageButton::enterEvent(QEnterEvent *) {
    DoMouseEnter();
}

void TBRImageButton::leaveEvent(QEvent *) {
    DoMouseLeave();
}

void TBRImageButton::DoMouseEnter() {
    FState = 1;
    update();
    emit mouseEnter();
}

void TBRImageButton::DoMouseLeave() {
    FState = 0;
    update();
    emit mouseLeave();
}

void TBRImageButton::mousePressEvent(QMouseEvent *event) {
    FPressed = event->button() == Qt::LeftButton;
}

void TBRImageButton::mouseReleaseEvent(QMouseEvent *event) {
    const bool click =
        FPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    FPressed = false;
    if (click)
        Click();
}

void TBRImageButton::Click() {
    if (isEnabled())
        emit clicked();
}
