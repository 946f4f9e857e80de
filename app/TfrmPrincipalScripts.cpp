#include "app/TfrmPrincipalScripts.h"

#include "app/Parametros.h"
#include "app/TdmPrincipal.h"
#include "app/TfrmLoginScripts.h"
#include "base/ErroGeral.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "catalog/LogPage.h"
#include "catalog/ScriptsPage.h"
#include "editor/TfrmVisualizarScript.h"
#include "scripts/EnvioPage.h"
#include "widgets/DateEdit.h"
#include "widgets/FolderEdit.h"
#include "widgets/ImageList.h"
#include "widgets/TBRImageButton.h"
#include "widgets/TfrmProgresso.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int larguraBarra = 159;

QFrame *faixa(QWidget *parent, const char *name, const QColor &color) {
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setAutoFillBackground(true);
    QPalette p = frame->palette();
    p.setColor(QPalette::Window, color);
    frame->setPalette(p);
    return frame;
}

void pintarFundo(QWidget *widget, const QColor &color) {
    widget->setAutoFillBackground(true);
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    widget->setPalette(p);
}

} // namespace

TfrmPrincipalScripts::TfrmPrincipalScripts(TdmPrincipal &dm, Messages &messages,
                                           const QStringList &argumentos, QWidget *parent)
    : QWidget(parent), m_dm(dm), m_messages(messages), m_argumentos(argumentos), FSessao(dm.conexao()),
      panelPrincipal(new QWidget(this)), m_espera(this, panelPrincipal) {
    setObjectName(QStringLiteral("frmPrincipalScripts"));
    setWindowTitle(QStringLiteral("Brisel Scripts"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panelPrincipal);
    panelPrincipal->setObjectName(QStringLiteral("panelPrincipal"));
    pintarFundo(panelPrincipal, Qt::white);
    panelPrincipal->installEventFilter(this);

    criarBarra();

    m_paginas = new QStackedWidget(panelPrincipal);
    m_paginas->setObjectName(QStringLiteral("Paginas"));
    pintarFundo(m_paginas, Qt::white);
    const QString ini = getIniName();
    m_envio = new EnvioPage(FSessao, m_messages, *this, ini);
    m_scripts = new ScriptsPage(FSessao, m_messages, *this, ini);
    m_log = new LogPage(FSessao, m_messages, *this, ini);
    m_paginas->addWidget(m_envio);
    m_paginas->addWidget(m_scripts);
    m_paginas->addWidget(m_log);
    // The question whether to stop the upload has no subject once the run has ended: it goes
    // before the run's report, instead of staying on screen under it.
    connect(m_envio, &EnvioPage::envioConcluido, this, [this] {
        if (m_perguntandoEnvio)
            m_messages.closeQuestion();
    });
    connect(m_envio, &EnvioPage::envioTerminado, this, [this] {
        if (m_fecharAposEnvio)
            close();
    });

    resize(919, 513);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TfrmPrincipalScripts::~TfrmPrincipalScripts() = default;

void TfrmPrincipalScripts::criarBarra() {
    Shape2 = faixa(panelPrincipal, "Shape2", QColor(0x85, 0xB0, 0xE3));
    Image1 = new QLabel(panelPrincipal);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(6, 20, 144, 33);
    Image1->setPixmap(QIcon(QStringLiteral(":/logo.svg")).pixmap(144, 33));

    btEnviarScripts = criarBotao("btEnviarScripts", 80, QStringLiteral("Enviar Scripts"),
                                 QStringLiteral("Enviar os scripts para o servidor"), 0, 1);
    btEditarScripts = criarBotao("btEditarScripts", 184, QStringLiteral("Editar scripts"),
                                 QStringLiteral("Visualizar e editar scripts"), 2, 3);
    btLog = criarBotao("btLog", 289, QStringLiteral("Log"), QStringLiteral("Exibir log "), 6, 7);
    btSair = criarBotao("btSair", 393, QStringLiteral("Sair"), QStringLiteral("Sair do sistema"), 4, 5);
    connect(btEnviarScripts, &TBRImageButton::clicked, this, &TfrmPrincipalScripts::btEnviarScriptsClick);
    connect(btEditarScripts, &TBRImageButton::clicked, this, &TfrmPrincipalScripts::btEditarScriptsClick);
    connect(btLog, &TBRImageButton::clicked, this, &TfrmPrincipalScripts::btLogClick);
    connect(btSair, &TBRImageButton::clicked, this, &TfrmPrincipalScripts::btSairClick);

    Shape1 = faixa(panelPrincipal, "Shape1", QColor(0x70, 0xA2, 0xDE));
    lblVersao = new QLabel(panelPrincipal);
    lblVersao->setObjectName(QStringLiteral("lblVersao"));
    lblVersao->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(9);
    font.setBold(true);
    lblVersao->setFont(font);
}

TBRImageButton *TfrmPrincipalScripts::criarBotao(const char *nome, int top, const QString &caption,
                                                 const QString &dica, int normal, int over) {
    auto *button = new TBRImageButton(panelPrincipal);
    button->setObjectName(QLatin1String(nome));
    button->setGeometry(28, top, 100, 81);
    button->setCaption(caption);
    button->setToolTip(dica);
    button->setImageList(&ImageList::icones48());
    button->setImageNormal(normal);
    button->setImageOver(over);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(10);
    font.setBold(true);
    button->setFont(font);
    button->setFontColor(QColor(48, 48, 48));
    return button;
}

void TfrmPrincipalScripts::posicionar() {
    const int h = panelPrincipal->height();
    Shape2->setGeometry(0, 0, larguraBarra, h);
    // Kept at the bottom-left corner.
    Shape1->setGeometry(0, h - 21, larguraBarra, 21);
    lblVersao->setGeometry(76, h - 18, 77, 14);
    m_paginas->setGeometry(larguraBarra, 0, panelPrincipal->width() - larguraBarra, h);
}

bool TfrmPrincipalScripts::eventFilter(QObject *watched, QEvent *event) {
    if (watched == panelPrincipal && event->type() == QEvent::Resize)
        posicionar();
    return QWidget::eventFilter(watched, event);
}

void TfrmPrincipalScripts::FormCreate() {
    lblVersao->setText(QStringLiteral("Versão ") + m_dm.versao());
    LerParametros();
    m_paginas->setCurrentIndex(0);
}

QString TfrmPrincipalScripts::getIniName() const {
    return m_dm.DiretorioParametros() + QStringLiteral("/parametros.ini");
}

void TfrmPrincipalScripts::LerParametros() {
    const Parametros p = Parametros::ler(IniFile(getIniName()), QDate::currentDate());
    m_envio->deDir()->setText(p.base);
    m_envio->deData()->setDate(p.modificacao);
    m_envio->edTipoArq()->setText(p.mascara);
    m_envio->chkEnsaiarAntes()->setChecked(p.ensaiarAntes);
    m_scripts->edEditarDataInicio()->setDate(p.editarDataInicio);
    m_scripts->edEditarDataFim()->setDate(p.editarDataFim);
    m_scripts->edEditarMaximo()->setText(p.editarMaximo);
    m_log->edLogDataInicio()->setDate(p.logDataInicio);
    m_log->edLogDataFim()->setDate(p.logDataFim);
    m_log->edLogMaximo()->setText(p.logMaximo);
}

void TfrmPrincipalScripts::GravarParametros() {
    Parametros p;
    p.base = m_envio->deDir()->text();
    p.modificacao = m_envio->deData()->date();
    p.mascara = m_envio->edTipoArq()->text();
    p.ensaiarAntes = m_envio->chkEnsaiarAntes()->isChecked();
    p.editarDataInicio = m_scripts->edEditarDataInicio()->date();
    p.editarDataFim = m_scripts->edEditarDataFim()->date();
    p.editarMaximo = m_scripts->edEditarMaximo()->text();
    p.logDataInicio = m_log->edLogDataInicio()->date();
    p.logDataFim = m_log->edLogDataFim()->date();
    p.logMaximo = m_log->edLogMaximo()->text();
    p.maximizado = isMaximized();
    IniFile ini(getIniName());
    p.gravar(ini);
    ini.save(getIniName());
}

void TfrmPrincipalScripts::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_mostrada)
        return;
    m_mostrada = true;
    // Once the window is on screen, from the event loop: a modal window cannot open inside
    // the show handler itself.
    QTimer::singleShot(0, this, &TfrmPrincipalScripts::ExibirLogin);
}

void TfrmPrincipalScripts::ExibirLogin() {
    TfrmLoginScripts login(FSessao, m_messages, m_argumentos, this);
    m_login = &login;
    login.exec();
    m_login = nullptr;
}

bool TfrmPrincipalScripts::PodeFechar() {
    if (m_envio->enviando()) {
        m_perguntandoEnvio = true;
        const bool interromper = m_messages.questionDefaultNo(QStringLiteral(
            "O envio dos scripts está em andamento. Interromper o envio e fechar o programa?"));
        m_perguntandoEnvio = false;
        if (!interromper)
            return false;
    }
    QList<TfrmVisualizarScript *> alteradas;
    for (TfrmVisualizarScript *janela : findChildren<TfrmVisualizarScript *>())
        if (janela->isVisible() && janela->TemAlteracoes())
            alteradas << janela;
    if (!alteradas.isEmpty()) {
        const QString pergunta =
            alteradas.size() == 1
                ? QStringLiteral(
                      "Existe 1 janela de edição com alterações não salvas. Descartar as alterações?")
                : QStringLiteral(
                      "Existem %1 janelas de edição com alterações não salvas. Descartar as alterações?")
                      .arg(alteradas.size());
        if (!m_messages.questionDefaultNo(pergunta))
            return false;
        for (TfrmVisualizarScript *janela : alteradas)
            janela->DescartarAlteracoes();
    }
    return true;
}

void TfrmPrincipalScripts::closeEvent(QCloseEvent *event) {
    // Already asked: waiting for the upload's request in progress to end.
    if (m_fecharAposEnvio && m_envio->enviando()) {
        event->ignore();
        return;
    }
    if (!PodeFechar()) {
        event->ignore();
        return;
    }
    if (m_envio->enviando()) {
        // Stopping at once would leave unknown whether the request in progress was stored.
        m_fecharAposEnvio = true;
        m_envio->InterromperEnvio();
        if (TfrmProgresso *progresso = m_espera.frmProgresso())
            progresso->setMensagem(QStringLiteral("Interrompendo o envio..."));
        event->ignore();
        return;
    }
    // A settings file that cannot be written is reported, but does not keep the program open:
    // the user could not close it otherwise.
    try {
        GravarParametros();
    } catch (const std::exception &e) {
        m_messages.error(ErroGeral::mensagem(e));
    }
    event->accept();
}

void TfrmPrincipalScripts::ColocarNoTopo() {
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(m_login.data())}) {
        if (!w)
            continue;
        w->overrideWindowFlags(w->windowFlags() | Qt::WindowStaysOnTopHint);
        if (QWindow *handle = w->windowHandle())
            handle->setFlag(Qt::WindowStaysOnTopHint, true);
        w->raise();
    }
}

void TfrmPrincipalScripts::btEnviarScriptsClick() {
    m_paginas->setCurrentIndex(0);
}

void TfrmPrincipalScripts::btEditarScriptsClick() {
    m_paginas->setCurrentIndex(1);
}

void TfrmPrincipalScripts::btLogClick() {
    m_paginas->setCurrentIndex(2);
}

void TfrmPrincipalScripts::btSairClick() {
    close();
}

void TfrmPrincipalScripts::IniciarEspera(int maximo, const QString &mensagem) {
    m_espera.IniciarEspera(maximo, mensagem);
}

void TfrmPrincipalScripts::FinalizarEspera() {
    m_espera.FinalizarEspera();
}
