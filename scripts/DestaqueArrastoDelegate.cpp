#include "scripts/DestaqueArrastoDelegate.h"

#include "scripts/ArquivosGrid.h"

DestaqueArrastoDelegate::DestaqueArrastoDelegate(ArquivosGrid &grid)
    : QStyledItemDelegate(&grid), FGrid(grid) {}

void DestaqueArrastoDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (FGrid.destacada(index.row()))
        option->state |= QStyle::State_Selected | QStyle::State_Active;
}
