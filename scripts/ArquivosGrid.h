#pragma once

#include <QPoint>
#include <QTableView>

class FilaArquivosModel;

// The queue grid dbgArquivos. Rows are reordered by press-and-hold: a press with exactly one
// row selected starts a 700-millisecond wait off the interface thread; if the left button is
// still physically down then, the grid drags the pressed row, highlights the row under the
// pointer and, on release over another row, moves the pressed row next to it.
// The drag stays inside the grid, so it needs no drag-and-drop data: a release outside the
// rows (title row, empty part, elsewhere on screen) or Esc ends it with nothing moved.
class ArquivosGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int EsperaArrastoMs = 700;

    explicit ArquivosGrid(FilaArquivosModel &fila, QWidget *parent = nullptr);

    // Whether `botao` is physically held down now; the left button is the primary one.
    static bool BotaoMousePressionado(Qt::MouseButton botao);

    bool arrastando() const { return FDragging; }
    // Whether the row is drawn highlighted as the drop target.
    bool destacada(int row) const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void dbgArquivosMouseDown(const QPoint &pos);
    void esperaTerminada(quint64 pressao);
    void dbgArquivosDragOver(const QPoint &pos);
    void dbgArquivosDragDrop(const QPoint &pos);
    void encerrarArrasto();
    // Queue row number at a viewport point, counted from 1; 0 for the title row, -1 below
    // the last row.
    int numeroLinha(const QPoint &pos) const;

    FilaArquivosModel &FFila;
    QPoint FDragCoord{-1, -1}; // column and queue row number of the pressed cell
    QPoint FMoveCoord{-1, -1}; // column and queue row number under the pointer
    bool FDragging = false;
    bool FAguardando = false; // pressed, the 700 ms not yet over
    quint64 FPressao = 0;     // tells a stale wait from the current one
};
