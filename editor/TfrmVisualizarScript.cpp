#include "editor/TfrmVisualizarScript.h"

#include "editor/SqlEditor.h"
#include "service/Protocolo.h"
#include "service/TextFile.h"
#include "base/Windows1252.h"
#include "widgets/ImageList.h"
#include "base/Messages.h"
#include "base/Exception.h"

#include <QAbstractItemModel>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel *Titulo(const QString &texto, QWidget *parent) {
    auto *label = new QLabel(texto, parent);
    label->setAutoFillBackground(true);
    QPalette cores = label->palette();
    cores.setColor(QPalette::Window, QColor(212, 212, 212));
    label->setPalette(cores);
    return label;
}

QToolButton *Botao(const QString &nome, const QString &texto, int imagem, QWidget *parent) {
    auto *botao = new QToolButton(parent);
    botao->setObjectName(nome);
    botao->setText(texto);
    botao->setIcon(ImageList::icones().icon(imagem));
    botao->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    botao->setFixedSize(40, 36);
    return botao;
}

// The wait cursor for the length of a blocking request, restored on every way out.
struct CursorEspera {
    CursorEspera() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorEspera() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

TfrmVisualizarScript::TfrmVisualizarScript(Sessao &sessao, Messages &messages, QWidget *parent)
    : QWidget(parent, Qt::Window), m_sessao(sessao), m_messages(messages) {
    setObjectName(QStringLiteral("frmVisualizarScript"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Editar script"));
    resize(1018, 731);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(37);
    btSalvar = Botao(QStringLiteral("btSalvar"), QStringLiteral("Salvar"), 11, ToolBar1);
    ToolButton2 = Botao(QStringLiteral("ToolButton2"), QStringLiteral("Fechar"), 4, ToolBar1);
    ToolBar1->addWidget(btSalvar);
    ToolBar1->addSeparator();
    ToolBar1->addWidget(ToolButton2);

    splComparar = new QSplitter(Qt::Horizontal, this);
    splComparar->setObjectName(QStringLiteral("splComparar"));
    splComparar->setChildrenCollapsible(false);

    panelAnterior = new QWidget(splComparar);
    panelAnterior->setObjectName(QStringLiteral("panelAnterior"));
    Label2 = Titulo(QStringLiteral(" Script antes da alteração"), panelAnterior);
    Label2->setObjectName(QStringLiteral("Label2"));
    EditorAnterior = new SqlEditor(panelAnterior);
    EditorAnterior->setObjectName(QStringLiteral("EditorAnterior"));
    auto *anterior = new QVBoxLayout(panelAnterior);
    anterior->setContentsMargins(0, 0, 0, 0);
    anterior->setSpacing(0);
    anterior->addWidget(Label2);
    anterior->addWidget(EditorAnterior);

    panelAtual = new QWidget(splComparar);
    panelAtual->setObjectName(QStringLiteral("panelAtual"));
    lblAtual = Titulo(QStringLiteral(" Script atual"), panelAtual);
    lblAtual->setObjectName(QStringLiteral("lblAtual"));
    editor = new SqlEditor(panelAtual);
    editor->setObjectName(QStringLiteral("editor"));
    auto *atual = new QVBoxLayout(panelAtual);
    atual->setContentsMargins(0, 0, 0, 0);
    atual->setSpacing(0);
    atual->addWidget(lblAtual);
    atual->addWidget(editor);

    splComparar->addWidget(panelAnterior);
    splComparar->addWidget(panelAtual);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(splComparar, 1);

    connect(btSalvar, &QToolButton::clicked, this, &TfrmVisualizarScript::btSalvarClick);
    connect(ToolButton2, &QToolButton::clicked, this, &QWidget::close);
    connect(editor, &QsciScintilla::textChanged, this, &TfrmVisualizarScript::editorChange);
}

void TfrmVisualizarScript::setScript(const QString &valor) {
    FScript = valor;
    editor->setText(valor);
    // Loading raises the change handler; a freshly loaded text is never marked as changed.
    btSalvar->setEnabled(false);
}

void TfrmVisualizarScript::setScriptAnterior(const QString &valor) {
    FScriptAnterior = valor;
    EditorAnterior->setText(valor);
}

void TfrmVisualizarScript::setComparar(bool valor) {
    FComparar = valor;
    if (valor) {
        btSalvar->setEnabled(false);
    } else {
        // Hiding the left panel takes the splitter's handle with it.
        panelAnterior->hide();
        lblAtual->hide();
    }
    editor->setReadOnly(valor);
    EditorAnterior->setReadOnly(valor);
}

void TfrmVisualizarScript::Exibir() {
    showMaximized();
}

void TfrmVisualizarScript::editorChange() {
    if (!FComparar)
        btSalvar->setEnabled(true);
}

void TfrmVisualizarScript::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    // Half and half on every resize, which undoes a drag of the splitter.
    // The splitter spans the whole width; sizes summing to it are taken as they are.
    const int esquerda = frameGeometry().width() / 2 - 1;
    splComparar->setSizes({esquerda, qMax(0, width() - esquerda - splComparar->handleWidth())});
}

bool TfrmVisualizarScript::TemAlteracoes() const {
    return btSalvar->isEnabled();
}

// "Fechar", the title bar's button and the program closing the window all come through here.
void TfrmVisualizarScript::closeEvent(QCloseEvent *event) {
    if (TemAlteracoes() && !FDescartar &&
        !m_messages.questionDefaultNo(QStringLiteral("Descartar as alterações?"))) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TfrmVisualizarScript::btSalvarClick() {
    if (FComparar)
        return;
    if (FLocal)
        SalvarLocal();
    else
        SalvarServidor();
}

void TfrmVisualizarScript::SalvarLocal() {
    // Never over a version of the file that this window has not shown.
    if (FCarimbo.conhecido() && TextFile::comparar(FCodigo, FCarimbo) == TextFile::Situacao::Alterado &&
        !m_messages.questionDefaultNo(
            QStringLiteral("O arquivo foi alterado fora do programa. Sobrescrever?")))
        return;
    const QString texto = editor->text();
    try {
        FCarimbo = TextFile::writeLines(FCodigo, texto, FFormato);
    } catch (const Exception &erro) {
        m_messages.generalError(erro.message());
        return;
    }
    // The queue row holds the text as a search would have read it from the file (Windows-1252,
    // CR LF after every line): that is the text the upload sends.
    AtualizarLinha(TextFile::script(texto));
    btSalvar->setEnabled(false);
}

void TfrmVisualizarScript::SalvarServidor() {
    const QString texto = editor->text();
    const QByteArray script = Windows1252::fromUnicode(texto);
    Protocolo::Resposta resposta;
    try {
        CursorEspera cursor;
        resposta = Protocolo::Atualizar(m_sessao, FCodigo.toInt(), script);
    } catch (const std::exception &) {
        m_messages.error(QStringLiteral("Falha ao atualizar o script."));
        return;
    }
    if (!resposta.success) {
        m_messages.error(resposta.message);
        return;
    }
    AtualizarLinha(script);
    btSalvar->setEnabled(false);
}

// The row may have gone (deleted, or its table emptied): then only the file or the service
// holds the new text.
void TfrmVisualizarScript::AtualizarLinha(const QByteArray &script) {
    if (!FLinha.isValid())
        return;
    // A persistent index hands out its model as const; the window was given the cell to write.
    auto *modelo = const_cast<QAbstractItemModel *>(FLinha.model());
    modelo->setData(FLinha, script, Qt::EditRole);
}
