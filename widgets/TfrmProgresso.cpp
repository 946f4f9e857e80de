#include "widgets/TfrmProgresso.h"

#include "base/Cancelamento.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr int borda = 3;
constexpr int alturaTitulo = 18;
constexpr int larguraCliente = 236;
constexpr int alturaCliente = 53;
constexpr int margem = 8;
constexpr int larguraBarra = 217;
constexpr int alturaBotao = 25;
constexpr int larguraBotao = 75;

QString Contagem(int valor, int maximo) {
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    return QStringLiteral("%1 de %2").arg(brasil.toString(valor), brasil.toString(maximo));
}
} // namespace

TfrmProgresso::TfrmProgresso(QWidget *parent) : QFrame(parent) {
    setObjectName(QStringLiteral("frmProgresso"));
    setWindowTitle(QStringLiteral("Aguarde"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(borda);
    setAutoFillBackground(true);

    auto *titulo = new QLabel(QStringLiteral(" Aguarde"), this);
    titulo->setObjectName(QStringLiteral("lblTitulo"));
    titulo->setGeometry(borda, borda, larguraCliente, alturaTitulo);
    titulo->setStyleSheet(QStringLiteral("background-color: #0A246A; color: white; font-weight: bold;"));

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setAutoFillBackground(true);
    QPalette white = m_panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_panel1->setPalette(white);

    m_lblMensagem = new QLabel(m_panel1);
    m_lblMensagem->setObjectName(QStringLiteral("lblMensagem"));
    m_lblMensagem->move(margem, margem);

    m_progresso = new QProgressBar(m_panel1);
    m_progresso->setObjectName(QStringLiteral("Progresso"));
    m_progresso->setTextVisible(false);
    m_progresso->setRange(0, 0);

    m_lblContagem = new QLabel(m_panel1);
    m_lblContagem->setObjectName(QStringLiteral("lblContagem"));
    m_lblContagem->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblContagem->hide();

    m_btCancelar = new QPushButton(QStringLiteral("Cancelar"), m_panel1);
    m_btCancelar->setObjectName(QStringLiteral("btCancelar"));
    m_btCancelar->setGeometry(larguraCliente - margem - larguraBotao, alturaCliente, larguraBotao,
                              alturaBotao);
    m_btCancelar->hide();
    connect(m_btCancelar, &QPushButton::clicked, this, &TfrmProgresso::btCancelarClick);

    ajustarTamanho();
}

void TfrmProgresso::setMensagem(const QString &mensagem) {
    FMensagem = mensagem;
    m_lblMensagem->setText(mensagem);
    m_lblMensagem->adjustSize();
}

void TfrmProgresso::setMinimo(int minimo) {
    FMinimo = minimo;
    m_progresso->setMinimum(minimo);
}

void TfrmProgresso::setMaximo(int maximo) {
    FMaximo = maximo;
    m_progresso->setMaximum(maximo);
    m_lblContagem->setVisible(maximo > 0);
    ajustarTamanho();
    mostrarValor(FValor);
}

void TfrmProgresso::setValor(int valor) {
    FValor = valor;
    // From a worker this is queued to the bar's (interface) thread; there it runs at once.
    QMetaObject::invokeMethod(
        m_progresso, [this, valor] { mostrarValor(valor); }, Qt::AutoConnection);
}

void TfrmProgresso::setCancelamento(Cancelamento *cancelamento) {
    m_cancelamento = cancelamento;
    m_btCancelar->setEnabled(true);
    m_btCancelar->setVisible(cancelamento != nullptr);
    ajustarTamanho();
}

void TfrmProgresso::btCancelarClick() {
    if (!m_cancelamento)
        return;
    m_cancelamento->cancelar();
    // The worker ends busy mode when it notices; until then a second click has nothing to add.
    m_btCancelar->setEnabled(false);
}

void TfrmProgresso::mostrarValor(int valor) {
    m_progresso->setValue(valor);
    if (FMaximo > 0)
        m_lblContagem->setText(Contagem(valor, FMaximo));
}

// The bar gives up room on its right to the count, and the client area grows by a row for
// "Cancelar"; the window is re-centred by its owner only when it starts, so it grows downwards.
void TfrmProgresso::ajustarTamanho() {
    int larguraContagem = 0;
    if (FMaximo > 0)
        larguraContagem = m_lblContagem->fontMetrics().horizontalAdvance(Contagem(FMaximo, FMaximo)) + 6;
    m_progresso->setGeometry(margem, 27, larguraBarra - larguraContagem, 17);
    m_lblContagem->setGeometry(margem + larguraBarra - larguraContagem, 27, larguraContagem, 17);

    const int altura = m_btCancelar->isVisibleTo(this) ? alturaCliente + alturaBotao + margem : alturaCliente;
    m_panel1->setGeometry(borda, borda + alturaTitulo, larguraCliente, altura);
    setFixedSize(larguraCliente + 2 * borda, altura + alturaTitulo + 2 * borda);
}

void TfrmProgresso::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && m_btCancelar->isVisibleTo(this) && m_btCancelar->isEnabled()) {
        btCancelarClick();
        return;
    }
    QFrame::keyPressEvent(event);
}

void TfrmProgresso::closeEvent(QCloseEvent *event) {
    event->accept();
    deleteLater();
}
