#include "scripts/ArquivosGrid.h"

#include "scripts/DestaqueArrastoDelegate.h"
#include "scripts/FilaArquivosModel.h"
#include "scripts/IndicadorLinhaAtual.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>

#include <algorithm>

ArquivosGrid::ArquivosGrid(FilaArquivosModel &fila, QWidget *parent) : QTableView(parent), FFila(fila) {
    setObjectName(QStringLiteral("dbgArquivos"));
    setModel(&fila);
    setVerticalHeader(new IndicadorLinhaAtual(*this));
    setItemDelegate(new DestaqueArrastoDelegate(*this));
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setColumnHidden(FilaArquivosModel::SCRIPT, true);
    setColumnHidden(FilaArquivosModel::ORDEM, true);
    setColumnWidth(FilaArquivosModel::NOMEARQ, 593);
    setColumnWidth(FilaArquivosModel::SITUACAO, 150);
    setColumnWidth(FilaArquivosModel::NOSERVICO, 150);
    setColumnWidth(FilaArquivosModel::ENSAIO, 300); // after the paths; a failure's whole text is its hint
    // Beside the date, so that what an upload did and what the service holds show without
    // scrolling past the long paths.
    horizontalHeader()->moveSection(horizontalHeader()->visualIndex(FilaArquivosModel::SITUACAO), 1);
    horizontalHeader()->moveSection(horizontalHeader()->visualIndex(FilaArquivosModel::NOSERVICO), 2);
    ajustarColunas();
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

int ArquivosGrid::linhaDestino() const {
    if (!FDragging || FMoveCoord.y() < 1 || FMoveCoord.y() == FDragCoord.y())
        return -1;
    const QRect alvo = visualRect(FFila.index(FMoveCoord.y() - 1, FilaArquivosModel::NOMEARQ));
    // Above the target when the row moves up, below it when it moves down.
    return FMoveCoord.y() < FDragCoord.y() ? alvo.top() : alvo.bottom();
}

void ArquivosGrid::paintEvent(QPaintEvent *event) {
    QTableView::paintEvent(event);
    const int y = linhaDestino();
    if (y < 0)
        return;
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
    painter.drawLine(0, y, viewport()->width(), y);
}

void ArquivosGrid::changeEvent(QEvent *event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        ajustarColunas();
}

// "Data" is at least as wide as a whole date and time in the grid's font.
void ArquivosGrid::ajustarColunas() {
    const int texto = fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000 00:00:00"));
    setColumnWidth(FilaArquivosModel::DATA, qMax(108, texto + 12));
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
    // The view leaves a larger selection alone until the release, in case the press starts a
    // drag of it; a plain press selects the pressed row alone at once, so that holding it can
    // drag that row.
    const QModelIndex pressionada = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) && pressionada.isValid() &&
        selectionModel()->selectedRows().size() > 1)
        selectionModel()->select(pressionada,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
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
    FPressionado = pos;

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
    // A press that sweeps is a range selection, not a hold.
    if (FAguardando &&
        (event->position().toPoint() - FPressionado).manhattanLength() >= QApplication::startDragDistance())
        FAguardando = false;
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
    const QModelIndex movida = FFila.index(nova, FilaArquivosModel::DATA);
    selectionModel()->setCurrentIndex(movida, QItemSelectionModel::NoUpdate);
    clearSelection();
    scrollTo(movida);
}

void ArquivosGrid::MoverSelecionadas(int passo) {
    QList<int> rows;
    for (const QModelIndex &i : selectionModel()->selectedRows())
        rows << i.row();
    if (rows.isEmpty() && currentIndex().isValid())
        rows << currentIndex().row();
    if (rows.isEmpty())
        return;
    // The row nearest the edge first, so that a block of rows moves as one.
    std::sort(rows.begin(), rows.end());
    if (passo > 0)
        std::reverse(rows.begin(), rows.end());
    int barreira = passo < 0 ? -1 : FFila.rowCount();
    for (int row : rows) {
        if (row + passo == barreira)
            barreira = row; // held at the edge, and so is a selected row right behind it
        else
            FFila.Mover(row, row + passo);
    }
    // The selection and the current row follow their rows through the moves.
    scrollTo(currentIndex());
}

void ArquivosGrid::scrollTo(const QModelIndex &index, ScrollHint hint) {
    const int lado = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(lado);
}

void ArquivosGrid::keyPressEvent(QKeyEvent *event) {
    if (FDragging && event->key() == Qt::Key_Escape) {
        encerrarArrasto();
        return;
    }
    if (!FDragging && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        MoverSelecionadas(event->key() == Qt::Key_Up ? -1 : 1);
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
