#include "scripts/ArquivosGrid.h"

#include "scripts/DestaqueArrastoDelegate.h"
#include "scripts/FilaArquivosModel.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QThread>

ArquivosGrid::ArquivosGrid(FilaArquivosModel &fila, QWidget *parent) : QTableView(parent), FFila(fila) {
    setObjectName(QStringLiteral("dbgArquivos"));
    setModel(&fila);
    setItemDelegate(new DestaqueArrastoDelegate(*this));
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setColumnHidden(FilaArquivosModel::SCRIPT, true);
    setColumnHidden(FilaArquivosModel::ORDEM, true);
    setColumnWidth(FilaArquivosModel::DATA, 108);
    setColumnWidth(FilaArquivosModel::NOMEARQ, 593);
    verticalHeader()->setMinimumSectionSize(17);
    verticalHeader()->setDefaultSectionSize(17);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(12);
    horizontalHeader()->setFixedHeight(17);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    setShowGrid(true);
    setWordWrap(false);
}

bool ArquivosGrid::BotaoMousePressionado(Qt::MouseButton botao) {
    // The system already swaps the buttons for left-handed users: LeftButton is the primary one.
    if (botao != Qt::LeftButton && botao != Qt::RightButton)
        return false;
    return QGuiApplication::mouseButtons().testFlag(botao);
}

bool ArquivosGrid::destacada(int row) const {
    return FDragging && row + 1 == FMoveCoord.y() && FMoveCoord.y() != FDragCoord.y();
}

int ArquivosGrid::numeroLinha(const QPoint &pos) const {
    if (pos.y() < 0)
        return 0;
    const int row = rowAt(pos.y());
    return row < 0 ? -1 : row + 1;
}

void ArquivosGrid::mousePressEvent(QMouseEvent *event) {
    encerrarArrasto(); // a drag whose release never arrived
    QTableView::mousePressEvent(event);
    dbgArquivosMouseDown(event->position().toPoint());
}

void ArquivosGrid::dbgArquivosMouseDown(const QPoint &pos) {
    ++FPressao;
    FAguardando = false;
    const int linha = numeroLinha(pos);
    if (linha < 1 || selectionModel()->selectedRows().size() != 1)
        return;
    FDragCoord = QPoint(columnAt(pos.x()), linha);
    FMoveCoord = FDragCoord;
    FAguardando = true;

    QThread *espera = QThread::create([] { QThread::msleep(EsperaArrastoMs); });
    const quint64 pressao = FPressao;
    connect(espera, &QThread::finished, this, [this, pressao] { esperaTerminada(pressao); });
    connect(espera, &QThread::finished, espera, &QObject::deleteLater);
    espera->start();
}

void ArquivosGrid::esperaTerminada(quint64 pressao) {
    if (pressao != FPressao || !FAguardando)
        return;
    FAguardando = false;
    if (!BotaoMousePressionado(Qt::LeftButton))
        return;
    FDragging = true;
    viewport()->setCursor(Qt::DragMoveCursor);
    viewport()->update();
}

void ArquivosGrid::mouseMoveEvent(QMouseEvent *event) {
    if (FDragging) {
        dbgArquivosDragOver(event->position().toPoint());
        return;
    }
    if (FAguardando)
        return; // no range selection while a press may still become a drag
    QTableView::mouseMoveEvent(event);
}

void ArquivosGrid::dbgArquivosDragOver(const QPoint &pos) {
    // Scroll by a row when the pointer is near the top or bottom edge.
    const int margem = verticalHeader()->defaultSectionSize();
    if (pos.y() < margem)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
    else if (pos.y() > viewport()->height() - margem)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);

    FMoveCoord = QPoint(columnAt(pos.x()), numeroLinha(pos));
    const bool aceita = FMoveCoord.y() >= 1 && FMoveCoord.y() != FDragCoord.y();
    viewport()->setCursor(aceita ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
    viewport()->update();
}

void ArquivosGrid::mouseReleaseEvent(QMouseEvent *event) {
    FAguardando = false;
    if (FDragging) {
        const QPoint pos = event->position().toPoint();
        if (viewport()->rect().contains(pos))
            dbgArquivosDragDrop(pos);
        encerrarArrasto();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void ArquivosGrid::dbgArquivosDragDrop(const QPoint &pos) {
    const int alvo = numeroLinha(pos);
    // The title row (0) and the empty part below the rows (-1) are no target.
    if (alvo < 1 || alvo == FDragCoord.y())
        return;
    const int nova = FFila.Mover(FDragCoord.y() - 1, alvo - 1);
    if (nova < 0)
        return;
    selectionModel()->setCurrentIndex(FFila.index(nova, FilaArquivosModel::NOMEARQ),
                                      QItemSelectionModel::NoUpdate);
    clearSelection();
}

void ArquivosGrid::keyPressEvent(QKeyEvent *event) {
    if (FDragging && event->key() == Qt::Key_Escape) {
        encerrarArrasto();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ArquivosGrid::encerrarArrasto() {
    if (!FDragging)
        return;
    FDragging = false;
    viewport()->unsetCursor();
    viewport()->update();
}
