#pragma once

#include <QStyledItemDelegate>

class ArquivosGrid;

// Draws the drop target of a drag in the selection colours (dbgArquivosDrawColumnCell).
class DestaqueArrastoDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit DestaqueArrastoDelegate(ArquivosGrid &grid);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    ArquivosGrid &FGrid;
};
