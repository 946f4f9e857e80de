#include "editor/TfrmVisualizarScript.h"

#include "base/ErroGeral.h"
#include "base/Exception.h"
#include "base/Messages.h"
#include "base/Windows1252.h"
#include "editor/ComparacaoEditores.h"
#include "editor/SalvarServidorTarefa.h"
#include "editor/SqlEditor.h"
#include "service/ErroCancelado.h"
#include "service/ErroTransporte.h"
#include "service/Protocolo.h"
#include "service/TextFile.h"
#include "widgets/ImageList.h"

#include <QAbstractItemModel>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
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

    // Comparison only: moving between the differences and their count.
    btDiferencaAnterior = new QToolButton(ToolBar1);
    btDiferencaAnterior->setObjectName(QStringLiteral("btDiferencaAnterior"));
    btDiferencaAnterior->setText(QStringLiteral("Diferença anterior"));
    btDiferencaAnterior->setToolTip(QStringLiteral("Diferença anterior (Shift+F8)"));
    btProximaDiferenca = new QToolButton(ToolBar1);
    btProximaDiferenca->setObjectName(QStringLiteral("btProximaDiferenca"));
    btProximaDiferenca->setText(QStringLiteral("Próxima diferença"));
    btProximaDiferenca->setToolTip(QStringLiteral("Próxima diferença (F8)"));
    lblDiferencas = new QLabel(ToolBar1);
    lblDiferencas->setObjectName(QStringLiteral("lblDiferencas"));
    lblDiferencas->setContentsMargins(8, 0, 8, 0);
    FAcoesComparacao = {ToolBar1->addSeparator(), ToolBar1->addWidget(btDiferencaAnterior),
                        ToolBar1->addWidget(btProximaDiferenca), ToolBar1->addWidget(lblDiferencas)};
    for (QAction *acao : FAcoesComparacao)
        acao->setVisible(false);

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

    // A server save that lasts shows this bar, with "Cancelar".
    pnlEspera = new QWidget(this);
    pnlEspera->setObjectName(QStringLiteral("pnlEspera"));
    auto *barra = new QProgressBar(pnlEspera);
    barra->setRange(0, 0);
    barra->setMaximumWidth(200);
    btCancelar = new QPushButton(QStringLiteral("Cancelar"), pnlEspera);
    btCancelar->setObjectName(QStringLiteral("btCancelar"));
    auto *espera = new QHBoxLayout(pnlEspera);
    espera->setContentsMargins(8, 4, 8, 4);
    espera->addWidget(new QLabel(QStringLiteral("Salvando o script no servidor..."), pnlEspera));
    espera->addWidget(barra);
    espera->addWidget(btCancelar);
    espera->addStretch();
    pnlEspera->hide();
    FTarefaSalvar = new SalvarServidorTarefa(m_sessao, this);
    connect(FTarefaSalvar, &SalvarServidorTarefa::terminou, this, &TfrmVisualizarScript::FimSalvarServidor);
    connect(btCancelar, &QPushButton::clicked, FTarefaSalvar, &SalvarServidorTarefa::Cancelar);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(pnlEspera);
    layout->addWidget(splComparar, 1);

    connect(btSalvar, &QToolButton::clicked, this, &TfrmVisualizarScript::btSalvarClick);
    connect(ToolButton2, &QToolButton::clicked, this, &QWidget::close);
    connect(editor, &QsciScintilla::textChanged, this, &TfrmVisualizarScript::editorChange);

    FComparacao = new ComparacaoEditores(*EditorAnterior, *editor, this);
    connect(btProximaDiferenca, &QToolButton::clicked, FComparacao, &ComparacaoEditores::Proxima);
    connect(btDiferencaAnterior, &QToolButton::clicked, FComparacao, &ComparacaoEditores::Anterior);
    connect(FComparacao, &ComparacaoEditores::posicaoMudou, this, &TfrmVisualizarScript::AtualizarNavegacao);

    // Keys for the tool bar's buttons wherever the focus is in the window, each only while its
    // button is there and enabled.
    const auto atalho = [this](const QKeySequence &tecla, QToolButton *botao) {
        auto *a = new QShortcut(tecla, this);
        connect(a, &QShortcut::activated, botao, [botao] {
            if (botao->isVisible() && botao->isEnabled())
                botao->click();
        });
    };
    atalho(QKeySequence(Qt::CTRL | Qt::Key_S), btSalvar);
    atalho(QKeySequence(Qt::Key_F8), btProximaDiferenca);
    atalho(QKeySequence(Qt::SHIFT | Qt::Key_F8), btDiferencaAnterior);
    AtualizarTitulo();
    // The keys go to the script when the window opens, not to the first button ("Fechar").
    editor->setFocus();
}

void TfrmVisualizarScript::setCodigo(const QString &valor) {
    FCodigo = valor;
    AtualizarTitulo();
}

void TfrmVisualizarScript::setLocal(bool valor) {
    FLocal = valor;
    AtualizarTitulo();
}

// The title names what the window shows: the file, or the stored script's code.
void TfrmVisualizarScript::AtualizarTitulo() {
    QString titulo = FComparar ? QStringLiteral("Comparar") : QStringLiteral("Editar script");
    if (FLocal && !FComparar)
        titulo += QStringLiteral(" — ") + QFileInfo(FCodigo).fileName();
    else if (!FCodigo.isEmpty())
        titulo += QStringLiteral(" — código ") + FCodigo;
    setWindowTitle(titulo);
}

void TfrmVisualizarScript::setScript(const QString &valor) {
    FScript = valor;
    if (FComparar)
        AtualizarComparacao();
    else
        editor->setText(valor);
    // Loading raises the change handler; a freshly loaded text is never marked as changed.
    btSalvar->setEnabled(false);
}

void TfrmVisualizarScript::setScriptAnterior(const QString &valor) {
    FScriptAnterior = valor;
    if (FComparar)
        AtualizarComparacao();
    else
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
    for (QAction *acao : FAcoesComparacao)
        acao->setVisible(valor);
    if (valor)
        AtualizarComparacao();
    AtualizarTitulo();
}

// The two texts aligned line by line with their differences marked; "Salvar" stays off.
void TfrmVisualizarScript::AtualizarComparacao() {
    FComparacao->Comparar(FScriptAnterior, FScript);
    btSalvar->setEnabled(false);
    AtualizarNavegacao();
}

// Where the cursor stands among the differences, or how many there are.
void TfrmVisualizarScript::AtualizarNavegacao() {
    const int n = FComparacao->Diferencas(), atual = FComparacao->DiferencaAtual();
    lblDiferencas->setText(n == 0      ? QStringLiteral("Os textos são idênticos.")
                           : atual > 0 ? QStringLiteral("Diferença %1 de %2").arg(atual).arg(n)
                           : n == 1    ? QStringLiteral("1 diferença")
                                       : QStringLiteral("%1 diferenças").arg(n));
    btProximaDiferenca->setEnabled(FComparacao->TemProxima());
    btDiferencaAnterior->setEnabled(FComparacao->TemAnterior());
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
    // A save on its way has not stored the edits yet.
    return btSalvar->isEnabled() || FTarefaSalvar->Executando();
}

// "Fechar", the title bar's button and the program closing the window all come through here.
void TfrmVisualizarScript::closeEvent(QCloseEvent *event) {
    if (FTarefaSalvar->Executando()) {
        if (!FDescartar && !m_messages.questionDefaultNo(QStringLiteral(
                               "O script está sendo salvo no servidor. Fechar assim mesmo?"))) {
            event->ignore();
            return;
        }
        // The save's end, whatever it was, is told before the window goes.
        FTarefaSalvar->CancelarEEsperar();
        QWidget::closeEvent(event);
        return;
    }
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
    if (FTarefaSalvar->Executando())
        return;
    const QString texto = editor->text();
    // The service keeps Windows-1252: say which characters would come back as "?".
    const QList<Windows1252::CaractereNaoSuportado> perdidos = Windows1252::caracteresNaoSuportados(texto);
    if (!perdidos.isEmpty() &&
        !m_messages.questionDefaultNo(
            QStringLiteral("O script tem caracteres que o servidor não armazena; eles serão gravados como "
                           "\"?\":\n\n%1\n\nDeseja salvar assim mesmo?")
                .arg(Windows1252::descreverNaoSuportados(perdidos))))
        return;
    FScriptEnviado = Windows1252::fromUnicode(texto);
    FTarefaSalvar->Iniciar(FCodigo.toInt(), FScriptEnviado);
    // No typing into a text that is on its way, and no second save meanwhile.
    editor->setReadOnly(true);
    btSalvar->setEnabled(false);
    setCursor(Qt::BusyCursor);
    FEsperaSalvar.Armar();
}

void TfrmVisualizarScript::FimSalvarServidor(const Protocolo::Resposta &resposta, std::exception_ptr erro) {
    FEsperaSalvar.Desarmar();
    unsetCursor();
    editor->setReadOnly(false);
    btSalvar->setEnabled(true);
    if (erro) {
        try {
            std::rethrow_exception(erro);
        } catch (const ErroCancelado &e) {
            // Stopped by the user: the text stays as it is, still to be saved. A request that had
            // left may be stored all the same, which only a read-back of the script can tell.
            if (e.pedidoEnviado()) {
                emit salvamentoIncerto(FCodigo.toInt());
                m_messages.warning(
                    QStringLiteral("O salvamento foi cancelado, mas o serviço pode tê-lo gravado."));
            }
        } catch (const ErroTransporte &e) {
            QString mensagem =
                QStringLiteral("Falha ao atualizar o script. ") + ErroGeral::comPontoFinal(e.message());
            // The service had the whole request and gave no answer: it may have stored it.
            if (e.pedidoEnviado()) {
                emit salvamentoIncerto(FCodigo.toInt());
                mensagem += QStringLiteral(" O serviço pode tê-lo gravado.");
            }
            m_messages.error(mensagem);
        } catch (...) {
            m_messages.error(QStringLiteral("Falha ao atualizar o script."));
        }
        return;
    }
    if (!resposta.success) {
        m_messages.error(resposta.message);
        return;
    }
    AtualizarLinha(FScriptEnviado);
    btSalvar->setEnabled(false);
    emit salvoNoServidor(FCodigo.toInt(), FScriptEnviado);
}

void TfrmVisualizarScript::ConferirArmazenado(const QByteArray &armazenado) {
    if (FLocal || FComparar || FTarefaSalvar->Executando())
        return;
    btSalvar->setEnabled(Windows1252::fromUnicode(editor->text()) != armazenado);
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
