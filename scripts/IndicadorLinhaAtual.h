#pragma once

#include <QHeaderView>

class QAbstractItemView;

// The row indicator column of a grid: a small arrow marks the view's current row.
class IndicadorLinhaAtual : public QHeaderView {
    Q_OBJECT
public:
    // For view.setVerticalHeader, once the view has its model (and so its selection model).
    explicit IndicadorLinhaAtual(QAbstractItemView &view);

    // The row the arrow is drawn on, -1 when none is current.
    int linhaIndicada() const;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QAbstractItemView &FView;
};
