#include "widgets/TfrmProgresso.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>

namespace {
constexpr int borda = 3;
constexpr int alturaTitulo = 18;
constexpr int larguraCliente = 236;
constexpr int alturaCliente = 53;
} // namespace

TfrmProgresso::TfrmProgresso(QWidget *parent) : QFrame(parent) {
    setObjectName(QStringLiteral("frmProgresso"));
    setWindowTitle(QStringLiteral("Aguarde"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(borda);
    setAutoFillBackground(true);
    setFixedSize(larguraCliente + 2 * borda, alturaCliente + alturaTitulo + 2 * borda);

    auto *titulo = new QLabel(QStringLiteral(" Aguarde"), this);
    titulo->setObjectName(QStringLiteral("lblTitulo"));
    titulo->setGeometry(borda, borda, larguraCliente, alturaTitulo);
    titulo->setStyleSheet(QStringLiteral("background-color: #0A246A; color: white; font-weight: bold;"));

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setGeometry(borda, borda + alturaTitulo, larguraCliente, alturaCliente);
    m_panel1->setAutoFillBackground(true);
    QPalette white = m_panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_panel1->setPalette(white);

    m_lblMensagem = new QLabel(m_panel1);
    m_lblMensagem->setObjectName(QStringLiteral("lblMensagem"));
    m_lblMensagem->move(8, 8);

    m_progresso = new QProgressBar(m_panel1);
    m_progresso->setObjectName(QStringLiteral("Progresso"));
    m_progresso->setGeometry(8, 27, 217, 17);
    m_progresso->setTextVisible(false);
    m_progresso->setRange(0, 0);
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
}

void TfrmProgresso::setValor(int valor) {
    FValor = valor;
    // From a worker this is queued to the bar's (interface) thread; there it runs at once.
    QMetaObject::invokeMethod(
        m_progresso, [bar = m_progresso, valor] { bar->setValue(valor); }, Qt::AutoConnection);
}

void TfrmProgresso::closeEvent(QCloseEvent *event) {
    event->accept();
    deleteLater();
}
