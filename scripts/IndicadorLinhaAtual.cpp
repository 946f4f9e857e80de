#include "scripts/IndicadorLinhaAtual.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPolygon>

IndicadorLinhaAtual::IndicadorLinhaAtual(QAbstractItemView &view)
    : QHeaderView(Qt::Vertical, &view), FView(view) {
    setObjectName(QStringLiteral("indicadorLinhaAtual"));
    connect(view.selectionModel(), &QItemSelectionModel::currentChanged, viewport(),
            qOverload<>(&QWidget::update));
}

int IndicadorLinhaAtual::linhaIndicada() const {
    return FView.currentIndex().row();
}

void IndicadorLinhaAtual::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const {
    QHeaderView::paintSection(painter, rect, logicalIndex);
    if (logicalIndex != linhaIndicada())
        return;
    // A right-pointing triangle, as a data grid marks its current record.
    const int altura = qMin(rect.height() - 6, 8);
    const int x = rect.left() + (rect.width() - altura / 2) / 2;
    const int y = rect.top() + (rect.height() - altura) / 2;
    painter->save();
    // The style may leave the painter clipped to the section's (empty) title text.
    painter->setClipRect(rect);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::WindowText));
    painter->drawPolygon(
        QPolygon({QPoint(x, y), QPoint(x + altura / 2, y + altura / 2), QPoint(x, y + altura)}));
    painter->restore();
}
