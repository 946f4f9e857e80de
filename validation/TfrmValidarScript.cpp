#include "validation/TfrmValidarScript.h"

#include "service/TextFile.h"
#include "widgets/ImageList.h"
#include "base/Exception.h"

#include <Qsci/qsciscintilla.h>

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <atomic>

namespace {

QLabel *headingBand(const QString &caption, const QString &name, QWidget *parent) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(212, 212, 212));
    label->setPalette(palette);
    label->setFixedHeight(17);
    return label;
}

QToolButton *toolButton(const QString &caption, int icon, const QString &name, QToolBar *bar) {
    auto *button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(ImageList::icones().icon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFixedSize(50, 36);
    bar->addWidget(button);
    return button;
}

} // namespace

TfrmValidarScript::TfrmValidarScript(const QString &iniPath, QWidget *parent)
    : QWidget(parent, Qt::Window), Scripts(std::make_unique<ScriptRunner>()), m_settings(iniPath) {
    setObjectName(QStringLiteral("frmValidarScript"));
    setWindowTitle(QStringLiteral("Validar script"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(765, 455);
    setWindowState(Qt::WindowMaximized);
    createControls();
    FormCreate();
}

TfrmValidarScript::~TfrmValidarScript() = default;

void TfrmValidarScript::createControls() {
    edtScript = new QsciScintilla(this);
    edtScript->setObjectName(QStringLiteral("edtScript"));
    const QFont editorFont(QStringLiteral("Courier New"), 10);
    edtScript->setFont(editorFont);
    edtScript->setMarginsFont(QFont(QStringLiteral("Courier New"), 8));
    edtScript->setMarginType(0, QsciScintilla::NumberMargin);
    edtScript->setMarginLineNumbers(0, true);
    edtScript->setMarginWidth(0, QStringLiteral("00000"));
    edtScript->setUtf8(true);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(37);
    ToolBar1->setMovable(false);
    btExecutar = toolButton(QStringLiteral("Executar"), 15, QStringLiteral("btExecutar"), ToolBar1);
    btAbrir = toolButton(QStringLiteral("Abrir"), 16, QStringLiteral("btAbrir"), ToolBar1);
    ToolButton3 = ToolBar1->addSeparator();
    ToolButton3->setObjectName(QStringLiteral("ToolButton3"));
    ToolButton2 = toolButton(QStringLiteral("Fechar"), 4, QStringLiteral("ToolButton2"), ToolBar1);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(52);
    Label2 = headingBand(QStringLiteral(" Conexão com o banco de dados"), QStringLiteral("Label2"), Panel1);
    auto *fields = new QWidget(Panel1); // the fields' places are given from the panel's top
    const int top = Label2->height();
    Label3 = new QLabel(QStringLiteral("Banco de dados:"), fields);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->move(8, 24 - top);
    edtBanco = new QLineEdit(fields);
    edtBanco->setObjectName(QStringLiteral("edtBanco"));
    edtBanco->setGeometry(94, 20 - top, 307, 21);
    Label4 = new QLabel(QStringLiteral("Senha:"), fields);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->move(408, 24 - top);
    edtSenha = new QLineEdit(fields);
    edtSenha->setObjectName(QStringLiteral("edtSenha"));
    edtSenha->setEchoMode(QLineEdit::Password);
    edtSenha->setGeometry(448, 20 - top, 163, 21);
    auto *panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->setContentsMargins(0, 0, 0, 0);
    panel1Layout->setSpacing(0);
    panel1Layout->addWidget(Label2);
    panel1Layout->addWidget(fields, 1);

    Label1 = headingBand(QStringLiteral(" Script a ser executado"), QStringLiteral("Label1"), this);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(136);
    Label5 = headingBand(QStringLiteral(" Resultado"), QStringLiteral("Label5"), Panel2);
    memResultado = new QPlainTextEdit(Panel2);
    memResultado->setObjectName(QStringLiteral("memResultado"));
    memResultado->setReadOnly(true);
    auto *panel2Layout = new QVBoxLayout(Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    panel2Layout->setSpacing(0);
    panel2Layout->addWidget(Label5);
    panel2Layout->addWidget(memResultado, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(Panel1);
    layout->addWidget(Label1);
    layout->addWidget(edtScript, 1);
    layout->addWidget(Panel2);

    Abrir = new QFileDialog(this);
    Abrir->setObjectName(QStringLiteral("Abrir"));
    Abrir->setFileMode(QFileDialog::ExistingFile);
    Abrir->setNameFilters(
        {QStringLiteral("Arquivos SQL (*.sql)"), QStringLiteral("Todos os arquivos (*.*)")});
    Abrir->selectNameFilter(QStringLiteral("Arquivos SQL (*.sql)"));

    connect(btExecutar, &QToolButton::clicked, this, &TfrmValidarScript::btExecutarClick);
    connect(btAbrir, &QToolButton::clicked, this, &TfrmValidarScript::btAbrirClick);
    connect(ToolButton2, &QToolButton::clicked, this, &TfrmValidarScript::ToolButton2Click);
}

void TfrmValidarScript::FormCreate() {
    const ValidationSettings::Values values = m_settings.read();
    edtBanco->setText(values.database);
    edtSenha->setText(values.password);
}

void TfrmValidarScript::LoadFile(const QString &fileName) {
    if (!QFileInfo(fileName).isFile())
        return;
    try {
        edtScript->setText(TextFile::read(fileName));
    } catch (const Exception &error) {
        // The window shows no message boxes; the editor keeps its text.
        memResultado->appendPlainText(error.message());
    }
}

void TfrmValidarScript::btAbrirClick() {
    if (Abrir->exec() == QDialog::Accepted && !Abrir->selectedFiles().isEmpty())
        LoadFile(Abrir->selectedFiles().constFirst());
}

void TfrmValidarScript::ToolButton2Click() {
    close();
}

void TfrmValidarScript::btExecutarClick() {
    memResultado->clear();
    const QString database = edtBanco->text();
    const QString password = edtSenha->text();
    const QString script = edtScript->text();
    ScriptRunner::Callbacks callbacks;
    callbacks.appendLine = [this](const QString &line) {
        QMetaObject::invokeMethod(
            this, [this, line] { memResultado->appendPlainText(line); }, Qt::BlockingQueuedConnection);
    };
    callbacks.storeSettings = [this](const QString &database, const QString &password) {
        QString error;
        QMetaObject::invokeMethod(
            this,
            [&] {
                try {
                    m_settings.write({database, password});
                } catch (const Exception &e) {
                    error = e.message();
                }
            },
            Qt::BlockingQueuedConnection);
        if (!error.isEmpty())
            throw Exception(error);
    };
    runWithInputBlocked([&] { Scripts->run(database, password, script, callbacks); });
}

void TfrmValidarScript::runWithInputBlocked(const std::function<void()> &job) {
    // The run belongs to the interface thread: nothing else is started until it ends. It runs on a
    // worker only so that windows keep painting; input events wait in the queue.
    std::atomic<bool> done = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        job();
        done = true;
        QMetaObject::invokeMethod(
            this, [] {}, Qt::QueuedConnection); // wakes the loop below
    }));
    worker->start();
    while (!done)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    worker->wait();
}
