#pragma once

#include <QPoint>
#include <QTableView>

class FilaArquivosModel;

// The queue grid dbgArquivos. Rows are reordered by press-and-hold: a plain press selects the
// pressed row alone and starts a 700-millisecond wait off the interface thread; if the left
// button is still physically down then and the pointer has not moved away meanwhile, the grid
// drags the pressed row, highlights the row under the pointer, draws a line where the row will
// land and, on release over another row, moves the pressed row next to it. A pointer that moves
// before the time is up selects a range as usual instead.
// The drag stays inside the grid, so it needs no drag-and-drop data: a release outside the
// rows (title row, empty part, elsewhere on screen) or Esc ends it with nothing moved.
// Ctrl+Up and Ctrl+Down move the selected rows (or the current one) one place by the same keys.
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
    // Where the line marking the landing place is drawn (viewport y), -1 when there is none.
    int linhaDestino() const;

    // Moves the selected rows, or the current row when none is selected, one place up (-1) or
    // down (+1); rows already at the edge stay, and so do selected rows packed against them.
    void MoverSelecionadas(int passo);

    // Rows are taken whole: showing one never scrolls the grid sideways, which would hide the date
    // and the status behind a path wider than the grid.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void dbgArquivosMouseDown(const QPoint &pos);
    void esperaTerminada(quint64 pressao);
    void dbgArquivosDragOver(const QPoint &pos);
    void dbgArquivosDragDrop(const QPoint &pos);
    void encerrarArrasto();
    void ajustarColunas();
    // Queue row number at a viewport point, counted from 1; 0 for the title row, -1 below
    // the last row.
    int numeroLinha(const QPoint &pos) const;

    FilaArquivosModel &FFila;
    QPoint FDragCoord{-1, -1}; // column and queue row number of the pressed cell
    QPoint FMoveCoord{-1, -1}; // column and queue row number under the pointer
    bool FDragging = false;
    bool FAguardando = false; // pressed, the 700 ms not yet over
    QPoint FPressionado;      // where the waiting press happened
    quint64 FPressao = 0;     // tells a stale wait from the current one
};
