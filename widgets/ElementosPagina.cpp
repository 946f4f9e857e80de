#include "widgets/ElementosPagina.h"

#include "widgets/DateEdit.h"
#include "widgets/ImageList.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

namespace {

class TamanhosIniciais : public QObject {
public:
    TamanhosIniciais(QSplitter *divisor, QList<int> tamanhos)
        : QObject(divisor), m_tamanhos(std::move(tamanhos)) {
        for (int i = 0; i < m_tamanhos.size(); ++i)
            divisor->setStretchFactor(i, m_tamanhos[i] < 0 ? 1 : 0);
        divisor->setSizes(m_tamanhos);
        divisor->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *divisor = static_cast<QSplitter *>(watched);
        if (event->type() == QEvent::Resize) {
            const int total = divisor->orientation() == Qt::Vertical ? divisor->height() : divisor->width();
            int resto = total - divisor->handleWidth() * (m_tamanhos.size() - 1);
            for (int tamanho : m_tamanhos)
                resto -= qMax(tamanho, 0);
            if (resto > 0) {
                QList<int> tamanhos = m_tamanhos;
                for (int &tamanho : tamanhos)
                    if (tamanho < 0)
                        tamanho = resto;
                divisor->setSizes(tamanhos);
                divisor->removeEventFilter(this);
                deleteLater();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<int> m_tamanhos;
};

} // namespace

namespace ElementosPagina {

void TamanhosFixos(QSplitter *divisor, const QList<int> &tamanhos) {
    new TamanhosIniciais(divisor, tamanhos);
}

QWidget *Painel(const QString &nome, const QColor &cor, QWidget *parent) {
    auto *painel = new QWidget(parent);
    painel->setObjectName(nome);
    painel->setAutoFillBackground(true);
    QPalette cores = painel->palette();
    cores.setColor(QPalette::Window, cor);
    painel->setPalette(cores);
    return painel;
}

QLabel *Titulo(const QString &nome, const QString &texto, QWidget *parent) {
    QLabel *titulo = Rotulo(nome, texto, 9, 13, parent);
    QFont fonte(QStringLiteral("Tahoma"), 12, QFont::Bold);
    fonte.setUnderline(true);
    titulo->setFont(fonte);
    QPalette cores = titulo->palette();
    cores.setColor(QPalette::WindowText, QColor(0x30, 0x30, 0x30));
    titulo->setPalette(cores);
    titulo->adjustSize();
    return titulo;
}

QLabel *Rotulo(const QString &nome, const QString &texto, int x, int y, QWidget *parent) {
    auto *rotulo = new QLabel(texto, parent);
    rotulo->setObjectName(nome);
    rotulo->move(x, y);
    rotulo->adjustSize();
    return rotulo;
}

QComboBox *ListaSistemas(const QString &nome, QWidget *parent) {
    auto *lista = new QComboBox(parent);
    lista->setObjectName(nome);
    lista->addItems({QStringLiteral("KOR"), QStringLiteral("KOR_LIVROS"), QStringLiteral("TALAO")});
    lista->setCurrentIndex(-1);
    return lista;
}

QComboBox *ListaSistemasFiltro(const QString &nome, QWidget *parent) {
    QComboBox *lista = ListaSistemas(nome, parent);
    lista->insertItem(0, QString());
    lista->setCurrentIndex(-1);
    return lista;
}

QLineEdit *Caixa(const QString &nome, int x, int y, int largura, QWidget *parent) {
    auto *caixa = new QLineEdit(parent);
    caixa->setObjectName(nome);
    caixa->setGeometry(x, y, largura, 21);
    return caixa;
}

DateEdit *CaixaData(const QString &nome, int x, int y, QWidget *parent) {
    auto *caixa = new DateEdit(parent);
    caixa->setObjectName(nome);
    caixa->setGeometry(x, y, 103, 21);
    return caixa;
}

QLineEdit *CaixaMaximo(const QString &nome, int x, int y, QWidget *parent) {
    QLineEdit *caixa = Caixa(nome, x, y, 103, parent);
    caixa->setAlignment(Qt::AlignRight);
    // Nine digits always fit an int.
    caixa->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), caixa));
    caixa->setText(QStringLiteral("100"));
    return caixa;
}

void OrdemTab(const QList<QWidget *> &controles) {
    for (qsizetype i = 1; i < controles.size(); ++i)
        QWidget::setTabOrder(controles[i - 1], controles[i]);
}

QToolBar *BarraFerramentas(const QString &nome, QWidget *parent) {
    auto *barra = new QToolBar(parent);
    barra->setObjectName(nome);
    barra->setFixedHeight(37);
    barra->setMovable(false);
    barra->setIconSize(ImageList::icones().size());
    return barra;
}

QToolButton *Botao(const QString &nome, const QString &texto, int imagem, const QString &dica, int largura,
                   QToolBar *barra) {
    auto *botao = new QToolButton(barra);
    botao->setObjectName(nome);
    botao->setText(texto);
    botao->setToolTip(dica);
    botao->setIcon(ImageList::icones().icon(imagem));
    botao->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    botao->setFixedSize(largura, 36);
    barra->addWidget(botao);
    return botao;
}

QTableView *Grade(const QString &nome, QWidget *parent) {
    auto *grade = new QTableView(parent);
    grade->setObjectName(nome);
    grade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grade->setSelectionBehavior(QAbstractItemView::SelectRows);
    grade->setSelectionMode(QAbstractItemView::SingleSelection);
    grade->verticalHeader()->setDefaultSectionSize(17);
    grade->verticalHeader()->hide();
    return grade;
}

QPlainTextEdit *Memo(const QString &nome, QWidget *parent) {
    auto *memo = new QPlainTextEdit(parent);
    memo->setObjectName(nome);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}

QWidget *BarraTotal(const QString &nome, const QString &nomeRotulo, const QString &nomeTotal, QLabel *&total,
                    QWidget *parent) {
    QWidget *barra = Painel(nome, QColor(0x70, 0xA2, 0xDE), parent);
    barra->setFixedHeight(21);
    QLabel *rotulo = Rotulo(nomeRotulo, QStringLiteral("Total de registros:"), 6, 4, barra);
    QFont negrito = rotulo->font();
    negrito.setBold(true);
    rotulo->setFont(negrito);
    rotulo->adjustSize();
    // With a wider fallback font the caption may pass 115 pixels; the count then follows it.
    total = Rotulo(nomeTotal, QStringLiteral("0"), qMax(115, rotulo->geometry().right() + 6), 4, barra);
    total->setMinimumWidth(80);
    return barra;
}

} // namespace ElementosPagina
