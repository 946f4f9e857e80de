#pragma once

#include <QList>
#include <QString>

class DateEdit;
class QColor;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSplitter;
class QTableView;
class QToolBar;
class QToolButton;
class QWidget;

// The pieces that the main window's pages build alike.
namespace ElementosPagina {

// A panel with a plain background of the given colour.
QWidget *Painel(const QString &nome, const QColor &cor, QWidget *parent);
// The page heading: Tahoma 12 point bold underlined, dark grey, at 9, 13.
QLabel *Titulo(const QString &nome, const QString &texto, QWidget *parent);
QLabel *Rotulo(const QString &nome, const QString &texto, int x, int y, QWidget *parent);
// "KOR", "KOR_LIVROS", "TALAO", no typing, nothing chosen.
QComboBox *ListaSistemas(const QString &nome, QWidget *parent);
// The same for a search filter: an empty first item that the user can choose again to mean
// every system; nothing chosen to start with, which means the same.
QComboBox *ListaSistemasFiltro(const QString &nome, QWidget *parent);
// The filter boxes, one text line high at x, y.
QLineEdit *Caixa(const QString &nome, int x, int y, int largura, QWidget *parent);
DateEdit *CaixaData(const QString &nome, int x, int y, QWidget *parent);
// "Máximo": digits only, right-aligned, 100 to start with.
QLineEdit *CaixaMaximo(const QString &nome, int x, int y, QWidget *parent);
// Tab goes from each control to the next in the list.
void OrdemTab(const QList<QWidget *> &controles);
QToolBar *BarraFerramentas(const QString &nome, QWidget *parent);
QToolButton *Botao(const QString &nome, const QString &texto, int imagem, const QString &dica, int largura,
                   QToolBar *barra);
// Read-only, whole rows, one at a time, no row numbers.
QTableView *Grade(const QString &nome, QWidget *parent);
QPlainTextEdit *Memo(const QString &nome, QWidget *parent);
// The sizes of a splitter's parts along its direction; the part given as -1 takes the rest and
// alone grows or shrinks with the splitter. Set when the splitter gets its first real size, since
// sizes given before that are scaled to it.
void TamanhosFixos(QSplitter *divisor, const QList<int> &tamanhos);
// The bottom bar "Total de registros:" with its count label, which it returns in `total`.
QWidget *BarraTotal(const QString &nome, const QString &nomeRotulo, const QString &nomeTotal, QLabel *&total,
                    QWidget *parent);

} // namespace ElementosPagina
