#include "scripts/EnvioPage.h"

#include "editor/TfrmVisualizarScript.h"
#include "scripts/ArquivosGrid.h"
#include "scripts/FilaArquivosModel.h"
#include "scripts/PesquisaArquivos.h"
#include "scripts/ThreadEnvio.h"
#include "base/Windows1252.h"
#include "validation/TfrmValidarScript.h"
#include "widgets/DateEdit.h"
#include "widgets/ElementosPagina.h"
#include "base/Espera.h"
#include "widgets/FolderEdit.h"
#include "base/Messages.h"
#include "base/Exception.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace ElementosPagina;

EnvioPage::EnvioPage(Sessao &sessao, Messages &messages, Espera &espera, const QString &iniPath,
                     QWidget *parent)
    : QWidget(parent), m_sessao(sessao), m_messages(messages), m_espera(espera), m_iniPath(iniPath),
      m_cdsArqs(new FilaArquivosModel(this)) {
    m_cdsArqs->setObjectName(QStringLiteral("cdsArqs"));
    auto *raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 0, 0, 0);
    QWidget *panelEnviar = Painel(QStringLiteral("panelEnviar"), QColor(0xDE, 0xEA, 0xF8), this);
    raiz->addWidget(panelEnviar);
    auto *colunas = new QVBoxLayout(panelEnviar);
    colunas->setContentsMargins(0, 0, 0, 0);
    colunas->setSpacing(0);

    QWidget *panelFiltros = Painel(QStringLiteral("panelFiltros"), QColor(0xDE, 0xEA, 0xF8), panelEnviar);
    panelFiltros->setFixedHeight(111);
    criarFiltros(panelFiltros);
    colunas->addWidget(panelFiltros);

    QWidget *Panel1 = Painel(QStringLiteral("Panel1"), QColor(0xDE, 0xEA, 0xF8), panelEnviar);
    colunas->addWidget(Panel1, 1);
    auto *pilha = new QVBoxLayout(Panel1);
    pilha->setContentsMargins(0, 0, 0, 0);
    pilha->setSpacing(0);

    ToolBar1 = BarraFerramentas(QStringLiteral("ToolBar1"), Panel1);
    btProcurar = Botao(QStringLiteral("btProcurar"), QStringLiteral("Procurar"), 7,
                       QStringLiteral("Pesquisar os arquivos na pasta informada."), 50, ToolBar1);
    btParar = Botao(QStringLiteral("btParar"), QStringLiteral("Parar"), 9,
                    QStringLiteral("Parar a pesquisa de arquivos."), 50, ToolBar1);
    ToolBar1->addSeparator();
    btRemover =
        Botao(QStringLiteral("btRemover"), QStringLiteral("Remover"), 6,
              QStringLiteral("Remover os arquivos selecionados da lista de envio. Segure Ctrl e click no "
                             "registros para selecionar mais de um item."),
              50, ToolBar1);
    btLimpar = Botao(QStringLiteral("btLimpar"), QStringLiteral("Limpar"), 2,
                     QStringLiteral("Limpar a lista de arquivos selecionados."), 50, ToolBar1);
    ToolBar1->addSeparator();
    ToolButton1 =
        Botao(QStringLiteral("ToolButton1"), QStringLiteral("Editar"), 10,
              QStringLiteral("Editar o registro selecionado. Esse recurso altera o arquivo."), 50, ToolBar1);
    btEnviar = Botao(QStringLiteral("btEnviar"), QStringLiteral("Enviar"), 8,
                     QStringLiteral("Enviar os scripts para o servidor."), 50, ToolBar1);
    ToolBar1->addSeparator();
    btValidar = Botao(QStringLiteral("btValidar"), QStringLiteral("Validar"), 15, QString(), 50, ToolBar1);
    pilha->addWidget(ToolBar1);

    Splitter1 = new QSplitter(Qt::Vertical, Panel1);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(2);
    Splitter1->setChildrenCollapsible(false);
    dbgArquivos = new ArquivosGrid(*m_cdsArqs, Splitter1);
    DBMemo1 = new QPlainTextEdit(Splitter1);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setReadOnly(true);
    Splitter1->addWidget(dbgArquivos);
    Splitter1->addWidget(DBMemo1);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setSizes({10000, 136});
    pilha->addWidget(Splitter1, 1);

    pilha->addWidget(BarraTotal(QStringLiteral("Panel6"), QStringLiteral("Label20"),
                                QStringLiteral("lblEnviarTotalRegistros"), lblEnviarTotalRegistros, Panel1));

    OrdemTab({m_deData, m_edTipoArq, m_deDir, cbSistema});

    connect(btProcurar, &QToolButton::clicked, this, &EnvioPage::btProcurarClick);
    connect(btParar, &QToolButton::clicked, this, &EnvioPage::btPararClick);
    connect(btRemover, &QToolButton::clicked, this, &EnvioPage::btRemoverClick);
    connect(btLimpar, &QToolButton::clicked, this, &EnvioPage::btLimparClick);
    connect(ToolButton1, &QToolButton::clicked, this, &EnvioPage::ToolButton1Click);
    connect(btEnviar, &QToolButton::clicked, this, &EnvioPage::btEnviarClick);
    connect(btValidar, &QToolButton::clicked, this, &EnvioPage::btValidarClick);

    // The memo follows the current row, and a local save from an editor window.
    connect(dbgArquivos->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &EnvioPage::mostrarScriptAtual);
    connect(m_cdsArqs, &QAbstractItemModel::dataChanged, this, &EnvioPage::mostrarScriptAtual);
    connect(m_cdsArqs, &QAbstractItemModel::modelReset, this, &EnvioPage::mostrarScriptAtual);
    connect(m_cdsArqs, &QAbstractItemModel::rowsRemoved, this, &EnvioPage::mostrarScriptAtual);

    SetPesquisando(false);
}

EnvioPage::~EnvioPage() {
    // A run still going would outlive the page and busy mode: stop it after its current
    // request, with no report left to deliver.
    if (m_threadEnvio) {
        m_threadEnvio->disconnect();
        m_threadEnvio->requestInterruption();
        // The worker may already be waiting for its end-of-run call on this thread, which will
        // not run now: dropping that call releases the worker instead of deadlocking on it.
        while (!m_threadEnvio->wait(10))
            QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
        delete m_threadEnvio;
    }
}

void EnvioPage::criarFiltros(QWidget *panelFiltros) {
    Titulo(QStringLiteral("Label2"), QStringLiteral("Enviar Scripts"), panelFiltros);

    Rotulo(QStringLiteral("Label3"), QStringLiteral("Diretório base:"), 8, 56, panelFiltros);
    m_deDir = new FolderEdit(panelFiltros);
    m_deDir->setObjectName(QStringLiteral("deDir"));
    m_deDir->setGeometry(85, 53, 340, 21);

    Rotulo(QStringLiteral("Label6"), QStringLiteral("Sistema:"), 441, 56, panelFiltros);
    cbSistema = ListaSistemas(QStringLiteral("cbSistema"), panelFiltros);
    cbSistema->setGeometry(488, 53, 145, 21);

    Rotulo(QStringLiteral("Label4"), QStringLiteral("Dt. Modificação:"), 6, 88, panelFiltros);
    m_deData = CaixaData(QStringLiteral("deData"), 85, 85, panelFiltros);

    Rotulo(QStringLiteral("Label5"), QStringLiteral("Máscara de procura:"), 199, 88, panelFiltros);
    m_edTipoArq = Caixa(QStringLiteral("edTipoArq"), 304, 85, 121, panelFiltros);
}

void EnvioPage::SetPesquisando(bool valor) {
    FCancelar = valor;
    btProcurar->setEnabled(!valor);
    btParar->setEnabled(valor);
    btEnviar->setEnabled(!valor);
}

void EnvioPage::btProcurarClick() {
    if (!m_deData->date().isValid()) {
        m_messages.error(QStringLiteral("Informe a data de modificação."));
        return;
    }
    const QString pasta = m_deDir->text();
    if (pasta.isEmpty() || !QFileInfo(pasta).isDir()) {
        m_messages.error(QStringLiteral("Diretório base inválido."));
        return;
    }
    m_cdsArqs->Limpar();
    FTipoArq = m_edTipoArq->text();
    SetPesquisando(true);

    // The walk hands the interface its events; the page may be closed meanwhile.
    const QPointer<EnvioPage> viva(this);
    QDateTime limite = m_deData->date().startOfDay();
    PesquisaArquivos::Ganchos ganchos;
    ganchos.limite = [&] {
        if (viva && m_deData->date().isValid())
            limite = m_deData->date().startOfDay();
        return limite;
    };
    ganchos.encontrado = [this](const QString &caminho, const QDateTime &data) {
        m_cdsArqs->AdicionarArquivo(caminho, data);
    };
    ganchos.processarEventos = [] { QCoreApplication::processEvents(); };
    ganchos.parar = [&] { return !viva || !FCancelar; };
    try {
        PesquisaArquivos(FTipoArq, ganchos).Pesquisar(pasta);
    } catch (const Exception &e) {
        if (!viva)
            return;
        SetPesquisando(false);
        m_messages.error(e.message());
        return;
    }
    if (!viva)
        return;
    SetPesquisando(false);
    lblEnviarTotalRegistros->setText(QString::number(m_cdsArqs->rowCount()));
    dbgArquivos->viewport()->update();
}

void EnvioPage::btPararClick() {
    SetPesquisando(false);
}

void EnvioPage::btRemoverClick() {
    if (m_cdsArqs->rowCount() == 0) {
        m_messages.error(QStringLiteral("Não existem registros para remover."));
        return;
    }
    const QModelIndexList selecionadas = dbgArquivos->selectionModel()->selectedRows();
    if (selecionadas.isEmpty()) {
        m_messages.error(QStringLiteral("É preciso selecionar os registros que serão removidos."));
        return;
    }
    if (!m_messages.question(QStringLiteral("Deseja remover o registro selecionado?")))
        return;
    QList<QPersistentModelIndex> remover(selecionadas.begin(), selecionadas.end());
    for (const QPersistentModelIndex &linha : remover)
        if (linha.isValid())
            m_cdsArqs->removeRows(linha.row(), 1);
}

void EnvioPage::btLimparClick() {
    m_cdsArqs->Limpar();
}

void EnvioPage::ToolButton1Click() {
    const int row = dbgArquivos->currentIndex().row();
    if (m_cdsArqs->rowCount() == 0 || row < 0)
        return;
    const QString caminho = m_cdsArqs->nomeArq(row);
    if (!QFileInfo(caminho).isFile())
        return;
    // Belongs to the main window: it goes when that closes instead of keeping the program running.
    auto *janela = new TfrmVisualizarScript(m_sessao, m_messages, this);
    janela->setCodigo(caminho);
    janela->setScript(Windows1252::toUnicode(m_cdsArqs->script(row)));
    janela->setLocal(true);
    janela->setComparar(false);
    janela->setLinha(QPersistentModelIndex(m_cdsArqs->index(row, FilaArquivosModel::SCRIPT)));
    janela->Exibir();
}

void EnvioPage::btEnviarClick() {
    if (cbSistema->currentIndex() < 0) {
        m_messages.error(QStringLiteral("Informe o sistema para upload dos scripts."));
        return;
    }
    if (m_cdsArqs->rowCount() == 0) {
        m_messages.error(QStringLiteral("Não existem scripts a serem enviados."));
        return;
    }
    if (m_threadEnvio || FCancelar)
        return;
    m_espera.IniciarEspera(m_cdsArqs->rowCount(), QStringLiteral("Enviando os scripts..."));
    m_threadEnvio = new ThreadEnvio(m_sessao, m_cdsArqs->linhas(), cbSistema->currentText());
    connect(
        m_threadEnvio, &ThreadEnvio::progresso, m_threadEnvio,
        [this](int valor) { m_espera.setValor(valor); }, Qt::DirectConnection);
    connect(m_threadEnvio, &ThreadEnvio::fimEnvio, this, &EnvioPage::FimEnvio, Qt::BlockingQueuedConnection);
    connect(m_threadEnvio, &QThread::finished, m_threadEnvio, &QObject::deleteLater);
    m_threadEnvio->start();
}

void EnvioPage::FimEnvio(bool sucesso, const QString &mensagem) {
    m_espera.FinalizarEspera();
    if (sucesso)
        m_messages.information(QStringLiteral("Os scripts foram enviados com sucesso."));
    else
        m_messages.error(mensagem);
}

void EnvioPage::btValidarClick() {
    // Destroyed with the main window; a closed one is freed at once instead of piling up hidden.
    auto *janela = new TfrmValidarScript(m_iniPath, window());
    janela->setAttribute(Qt::WA_DeleteOnClose);
    janela->show();
    const int row = dbgArquivos->currentIndex().row();
    if (m_cdsArqs->rowCount() > 0 && row >= 0)
        janela->LoadFile(m_cdsArqs->nomeArq(row));
}

void EnvioPage::mostrarScriptAtual() {
    const int row = dbgArquivos->currentIndex().row();
    QString texto = row < 0 ? QString() : Windows1252::toUnicode(m_cdsArqs->script(row));
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (DBMemo1->toPlainText() != texto)
        DBMemo1->setPlainText(texto);
}
