#include "validation/TfrmValidarScript.h"

#include "base/Exception.h"
#include "editor/SqlEditor.h"
#include "service/TextFile.h"
#include "validation/ScriptTrial.h"
#include "validation/SenhaGuardada.h"
#include "widgets/ImageList.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCompleter>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

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
    : QWidget(parent, Qt::Window), Scripts(std::make_shared<ScriptRunner>()), m_settings(iniPath),
      m_senhaGuardada(new SenhaGuardada(iniPath, this)) {
    setObjectName(QStringLiteral("frmValidarScript"));
    setWindowTitle(QStringLiteral("Validar script"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(765, 455);
    setWindowState(Qt::WindowMaximized);
    createControls();
    FormCreate();
}

TfrmValidarScript::~TfrmValidarScript() {
    if (!m_execucao)
        return;
    // The run stops after its statement and rolls back, normally at once. A statement or an
    // attachment that takes longer is left to finish on its own rather than hold up the program:
    // the worker keeps what it uses, and its thread object is let go (it must not be destroyed
    // while it runs).
    m_cancelamento->cancelar();
    if (!m_execucao->wait(QDeadlineTimer(2000))) {
        m_execucao->disconnect(this);
        m_execucao.release();
    }
}

void TfrmValidarScript::createControls() {
    // The program's one SQL editor: colouring, and the find, replace and go-to-line keys.
    edtScript = new SqlEditor(this);
    edtScript->setObjectName(QStringLiteral("edtScript"));
    const QFont editorFont(QStringLiteral("Courier New"), 10);
    edtScript->setFont(editorFont);
    edtScript->setMarginsFont(QFont(QStringLiteral("Courier New"), 8));
    edtScript->setMarginType(0, QsciScintilla::NumberMargin);
    edtScript->setMarginLineNumbers(0, true);
    // Room for the largest line number and a digit more, which the gutter's padding takes.
    const auto ajustarNumeros = [this] {
        edtScript->setMarginWidth(
            0, QString(qMax(5, int(QString::number(edtScript->lines()).size()) + 1), u'0'));
    };
    ajustarNumeros();
    connect(edtScript, &QsciScintilla::linesChanged, this, ajustarNumeros);
    edtScript->setUtf8(true);
    // Failing statements are marked in a symbol margin beside the line numbers.
    m_marcadorErro = edtScript->markerDefine(QsciScintilla::Circle);
    edtScript->setMarkerBackgroundColor(QColor(220, 40, 40), m_marcadorErro);
    edtScript->setMarkerForegroundColor(QColor(140, 0, 0), m_marcadorErro);
    m_marcadorAtual = edtScript->markerDefine(QsciScintilla::RightArrow);
    edtScript->setMarkerBackgroundColor(QColor(40, 90, 200), m_marcadorAtual);
    edtScript->setMarginType(1, QsciScintilla::SymbolMargin);
    edtScript->setMarginWidth(1, 14);
    edtScript->setMarginMarkerMask(1, (1 << m_marcadorErro) | (1 << m_marcadorAtual));

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(37);
    ToolBar1->setMovable(false);
    btExecutar = toolButton(QStringLiteral("Executar"), 15, QStringLiteral("btExecutar"), ToolBar1);
    btAbrir = toolButton(QStringLiteral("Abrir"), 16, QStringLiteral("btAbrir"), ToolBar1);
    btCancelar = toolButton(QStringLiteral("Cancelar"), 9, QStringLiteral("btCancelar"), ToolBar1);
    btCancelar->setEnabled(false);
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
    edtSenha->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // "*" per character
    edtSenha->setGeometry(448, 20 - top, 163, 21);
    ckEnsaio =
        new QCheckBox(QStringLiteral("Ensaiar numa cópia descartável (o banco não é alterado)"), fields);
    ckEnsaio->setObjectName(QStringLiteral("ckEnsaio"));
    ckEnsaio->move(620, 22 - top);
    ckEnsaio->adjustSize();
    ckEnsaio->setChecked(m_settings.readTrial());
    connect(ckEnsaio, &QCheckBox::toggled, this, [this](bool ensaio) {
        try {
            m_settings.writeTrial(ensaio);
        } catch (const Exception &error) {
            memResultado->appendPlainText(error.message());
        }
    });
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
    memResultado->setUndoRedoEnabled(false);
    memResultado->viewport()->installEventFilter(this);
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
    Abrir->setNameFilters({QStringLiteral("Arquivos SQL (*.sql)"), QStringLiteral("Todos os arquivos (*)")});
    Abrir->selectNameFilter(QStringLiteral("Arquivos SQL (*.sql)"));

    connect(btExecutar, &QToolButton::clicked, this, &TfrmValidarScript::btExecutarClick);
    connect(btAbrir, &QToolButton::clicked, this, &TfrmValidarScript::btAbrirClick);
    connect(ToolButton2, &QToolButton::clicked, this, &TfrmValidarScript::ToolButton2Click);
    connect(btCancelar, &QToolButton::clicked, this, &TfrmValidarScript::btCancelarClick);
    m_entrega.setInterval(50);
    connect(&m_entrega, &QTimer::timeout, this, &TfrmValidarScript::entregarResultado);
}

void TfrmValidarScript::FormCreate() {
    edtBanco->setText(m_settings.read().database);
    // The remembered password arrives from the keyring later; it fills the field unless the user
    // has meanwhile typed one or chosen another database.
    connect(m_senhaGuardada, &SenhaGuardada::lida, this, [this](const QString &banco, const QString &senha) {
        if (!m_execucao && edtBanco->text() == banco && edtSenha->text().isEmpty())
            edtSenha->setText(senha);
    });
    connect(m_senhaGuardada, &SenhaGuardada::aviso, this, &TfrmValidarScript::avisar);
    m_senhaGuardada->lerUltima();
}

void TfrmValidarScript::avisar(const QString &texto) {
    // Every window would say the same; the first one that has to tells the user.
    static QStringList ditos;
    if (ditos.contains(texto))
        return;
    ditos << texto;
    memResultado->appendPlainText(texto);
    ++m_linhasResultado;
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
    const bool aceito = Abrir->exec() == QDialog::Accepted;
    // Enter in the name box accepts the dialog while its completion list may be open: the list
    // would stay on screen over this window and take the next click.
    for (QCompleter *completar : Abrir->findChildren<QCompleter *>())
        completar->popup()->hide();
    if (aceito && !Abrir->selectedFiles().isEmpty())
        LoadFile(Abrir->selectedFiles().constFirst());
}

void TfrmValidarScript::ToolButton2Click() {
    close();
}

void TfrmValidarScript::closeEvent(QCloseEvent *event) {
    // Nobody would see the rest of the run.
    if (m_execucao)
        m_cancelamento->cancelar();
    QWidget::closeEvent(event);
}

void TfrmValidarScript::btExecutarClick() {
    if (m_execucao)
        return;
    memResultado->clear();
    m_linhasResultado = 0;
    edtScript->markerDeleteAll(m_marcadorErro);
    edtScript->markerDeleteAll(m_marcadorAtual);
    const QString database = edtBanco->text();
    const QString password = edtSenha->text();
    const QString script = edtScript->text();
    m_cancelamento = std::make_shared<Cancelamento>();
    ScriptRunner::Callbacks callbacks;
    callbacks.appendLine = [pendentes = m_pendentes](const QString &line) { pendentes->append(line); };
    m_anexado = std::make_shared<std::optional<ValidationSettings::Values>>();
    callbacks.storeSettings = [settings = m_settings, anexado = m_anexado](const QString &database,
                                                                           const QString &password) {
        settings.write({database, QString()});
        *anexado = ValidationSettings::Values{database, password};
    };
    callbacks.statementFailed = [pendentes = m_pendentes](int scriptLine) {
        pendentes->markLocation(scriptLine);
    };
    callbacks.stop = m_cancelamento.get();
    const bool ensaio = ckEnsaio->isChecked();
    m_execucao.reset(QThread::create(
        [runner = Scripts, stop = m_cancelamento, database, password, script, callbacks, ensaio] {
            if (ensaio)
                ScriptTrial().run(database, password, {{QString(), script}}, {callbacks});
            else
                runner->run(database, password, script, callbacks);
        }));
    connect(m_execucao.get(), &QThread::finished, this, &TfrmValidarScript::fimExecucao);
    habilitarEdicao(false);
    m_entrega.start();
    m_execucao->start();
}

void TfrmValidarScript::btCancelarClick() {
    if (m_execucao)
        m_cancelamento->cancelar();
}

void TfrmValidarScript::habilitarEdicao(bool habilitar) {
    btExecutar->setEnabled(habilitar);
    btAbrir->setEnabled(habilitar);
    btCancelar->setEnabled(!habilitar);
    edtBanco->setReadOnly(!habilitar);
    edtSenha->setReadOnly(!habilitar);
    ckEnsaio->setEnabled(habilitar);
    edtScript->setReadOnly(!habilitar);
}

void TfrmValidarScript::entregarResultado() {
    const ResultLineQueue::Batch batch = m_pendentes->take();
    if (batch.lineCount == 0)
        return;
    const int primeira = m_linhasResultado;
    memResultado->appendPlainText(batch.text);
    m_linhasResultado += batch.lineCount;
    QTextDocument *documento = memResultado->document();
    for (const auto &[linha, linhaScript] : batch.locations) {
        documento->findBlockByNumber(primeira + linha).setUserState(linhaScript);
        edtScript->markerAdd(linhaScript - 1, m_marcadorErro);
    }
}

void TfrmValidarScript::fimExecucao() {
    m_entrega.stop();
    m_execucao->wait();
    m_execucao.reset();
    entregarResultado();
    if (*m_anexado)
        m_senhaGuardada->gravar((*m_anexado)->database, (*m_anexado)->password);
    habilitarEdicao(true);
    emit execucaoConcluida();
}

bool TfrmValidarScript::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == memResultado->viewport()) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const int linha = memResultado->cursorForPosition(mouse->position().toPoint()).block().userState();
        if (linha > 0) {
            irParaLinha(linha);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmValidarScript::irParaLinha(int linha) {
    const int indice = qMin(linha, edtScript->lines()) - 1;
    QString texto = edtScript->text(indice);
    while (texto.endsWith(u'\n') || texto.endsWith(u'\r'))
        texto.chop(1);
    // Selected from its end back to its start: the caret stays on the line, the editor's current one.
    edtScript->setSelection(indice, int(texto.size()), indice, 0);
    edtScript->ensureLineVisible(indice);
    edtScript->markerDeleteAll(m_marcadorAtual);
    edtScript->markerAdd(indice, m_marcadorAtual);
    edtScript->setFocus();
}
