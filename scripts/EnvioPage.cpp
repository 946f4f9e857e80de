#include "scripts/EnvioPage.h"

#include "base/Cancelamento.h"
#include "base/ErroGeral.h"
#include "base/Espera.h"
#include "base/Exception.h"
#include "base/Messages.h"
#include "base/Windows1252.h"
#include "editor/TfrmVisualizarScript.h"
#include "scripts/ArquivosGrid.h"
#include "scripts/ControleEnsaio.h"
#include "scripts/DialogoBancoEnsaio.h"
#include "scripts/FilaArquivosModel.h"
#include "scripts/PesquisaArquivos.h"
#include "scripts/ProgressoEnsaio.h"
#include "scripts/ProgressoVerificacao.h"
#include "scripts/ThreadEnvio.h"
#include "scripts/VerificacaoServico.h"
#include "service/TextFile.h"
#include "validation/SenhaGuardada.h"
#include "validation/TfrmValidarScript.h"
#include "validation/ValidationSettings.h"
#include "widgets/DateEdit.h"
#include "widgets/ElementosPagina.h"
#include "widgets/FolderEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <utility>

using namespace ElementosPagina;

namespace {

// A list for a message box: at most `maximo` items, then how many more there are.
QString listar(const QStringList &itens, qsizetype maximo = 15) {
    QStringList linhas = itens.mid(0, maximo);
    if (itens.size() > maximo)
        linhas << QStringLiteral("… e mais %1.").arg(itens.size() - maximo);
    return linhas.join(u'\n');
}

// Whether to send only the rows not sent yet, worded in the singular where a count is 1.
QString perguntaSoPendentes(qsizetype enviados, qsizetype total) {
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    const qsizetype pendentes = total - enviados;
    return (enviados == 1 ? QStringLiteral("1 de %1 scripts já foi enviado.").arg(brasil.toString(total))
                          : QStringLiteral("%1 de %2 scripts já foram enviados.")
                                .arg(brasil.toString(enviados), brasil.toString(total))) +
           (pendentes == 1 ? QStringLiteral(" Enviar somente o 1 que ainda não foi enviado?")
                           : QStringLiteral(" Enviar somente os %1 que ainda não foram enviados?")
                                 .arg(brasil.toString(pendentes)));
}

// Whether to send only the rows the service does not hold with the same text.
QString perguntaSoNovos(qsizetype iguais, qsizetype total) {
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    const qsizetype novos = total - iguais;
    return (iguais == 1 ? QStringLiteral("1 dos %1 scripts já está no serviço com o mesmo texto.")
                              .arg(brasil.toString(total))
                        : QStringLiteral("%1 dos %2 scripts já estão no serviço com o mesmo texto.")
                              .arg(brasil.toString(iguais), brasil.toString(total))) +
           (novos == 1
                ? QStringLiteral(" Enviar somente o 1 novo ou alterado?")
                : QStringLiteral(" Enviar somente os %1 novos ou alterados?").arg(brasil.toString(novos)));
}

// The database the validation last attached to, which the trial copies.
QString bancoDaValidacao(const QString &iniPath) {
    try {
        return ValidationSettings(iniPath).read().database;
    } catch (const Exception &) {
        return QString(); // an unreadable settings file names none: the user is asked
    }
}

} // namespace

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
    btEnsaiar =
        Botao(QStringLiteral("btEnsaiar"), QStringLiteral("Ensaiar"), 15,
              QStringLiteral("Executar os scripts da fila, na ordem, numa cópia descartável do banco de "
                             "dados da validação; o banco não é alterado."),
              50, ToolBar1);
    btComparar =
        Botao(QStringLiteral("btComparar"), QStringLiteral("Comparar"), 13,
              QStringLiteral("Comparar o script guardado no serviço com o arquivo alterado."), 50, ToolBar1);
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
    // What the service holds for each row, looked up in the background; its progress sits in the
    // count bar, right of the count.
    m_verificacao = new VerificacaoServico(m_sessao, *m_cdsArqs, this);
    auto *progresso = new ProgressoVerificacao(*m_verificacao, lblEnviarTotalRegistros->parentWidget());
    progresso->setGeometry(220, 1, 700, 19);
    m_ensaio = new ControleEnsaio(*m_cdsArqs, TrialCopyRegistry::standard(), this);
    auto *progressoEnsaio = new ProgressoEnsaio(*m_ensaio, lblEnviarTotalRegistros->parentWidget());
    progressoEnsaio->setGeometry(620, 1, 500, 19);
    m_senhaGuardada = new SenhaGuardada(m_iniPath, this);

    OrdemTab({m_deData, m_edTipoArq, m_deDir, cbSistema});

    connect(btProcurar, &QToolButton::clicked, this, &EnvioPage::btProcurarClick);
    connect(btParar, &QToolButton::clicked, this, &EnvioPage::btPararClick);
    connect(btRemover, &QToolButton::clicked, this, &EnvioPage::btRemoverClick);
    connect(btLimpar, &QToolButton::clicked, this, &EnvioPage::btLimparClick);
    connect(ToolButton1, &QToolButton::clicked, this, &EnvioPage::ToolButton1Click);
    connect(btEnviar, &QToolButton::clicked, this, &EnvioPage::btEnviarClick);
    connect(btValidar, &QToolButton::clicked, this, &EnvioPage::btValidarClick);
    connect(btEnsaiar, &QToolButton::clicked, this, &EnvioPage::btEnsaiarClick);
    connect(m_ensaio, &ControleEnsaio::terminado, this, &EnvioPage::fimEnsaio);
    connect(m_senhaGuardada, &SenhaGuardada::lida, this, [this](const QString &banco, const QString &senha) {
        if (banco != std::exchange(m_bancoPedido, QString()) || banco.isEmpty())
            return;
        // None remembered: the user gives it (or none, for a local file).
        if (senha.isEmpty())
            pedirBanco(banco);
        else
            iniciarEnsaio(banco, senha, false);
    });
    connect(btComparar, &QToolButton::clicked, this, &EnvioPage::btCompararClick);
    connect(dbgArquivos, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &celula) {
        if (celula.column() == FilaArquivosModel::NOSERVICO)
            btCompararClick();
    });
    connect(cbSistema, &QComboBox::currentTextChanged, this, [this](const QString &sistema) {
        m_enviarAposVerificar = false; // the question would be about another system than the one pressed for
        m_verificacao->setSistema(sistema);
    });
    // A waiting "Enviar" was pressed for the rows then in the queue: a new search, Limpar or
    // Remover asks for a new press.
    connect(m_cdsArqs, &QAbstractItemModel::modelReset, this, [this] { m_enviarAposVerificar = false; });
    connect(m_cdsArqs, &QAbstractItemModel::rowsRemoved, this, [this] { m_enviarAposVerificar = false; });
    connect(m_verificacao, &VerificacaoServico::terminada, this, [this](bool completa, const QString &erro) {
        if (!std::exchange(m_enviarAposVerificar, false))
            return;
        // Without the service's answer the question falls back on what this program sent.
        if (completa || !erro.isEmpty())
            enviar(!completa);
    });

    // The memo follows the current row, and a local save from an editor window.
    connect(dbgArquivos->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &EnvioPage::mostrarScriptAtual);
    connect(m_cdsArqs, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &inicio, const QModelIndex &fim) {
                const int row = dbgArquivos->currentIndex().row();
                if (inicio.column() <= FilaArquivosModel::SCRIPT &&
                    FilaArquivosModel::SCRIPT <= fim.column() && inicio.row() <= row && row <= fim.row())
                    mostrarScriptAtual();
            });
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

    m_chkEnsaiarAntes = new QCheckBox(QStringLiteral("Ensaiar antes de enviar"), panelFiltros);
    m_chkEnsaiarAntes->setObjectName(QStringLiteral("chkEnsaiarAntes"));
    m_chkEnsaiarAntes->setToolTip(
        QStringLiteral("Enviar executa antes os scripts da fila numa cópia descartável do banco de dados da "
                       "validação e não envia nada quando algum falha."));
    m_chkEnsaiarAntes->setGeometry(488, 86, 160, 19);
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
    dbgArquivos->horizontalScrollBar()->setValue(0);
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
        // The first row found is current at once: the memo shows it, "Editar" and "Validar" work.
        if (!dbgArquivos->currentIndex().isValid())
            dbgArquivos->selectionModel()->setCurrentIndex(m_cdsArqs->index(0, FilaArquivosModel::DATA),
                                                           QItemSelectionModel::NoUpdate);
    };
    ganchos.processarEventos = [] { QCoreApplication::processEvents(); };
    ganchos.parar = [&] { return !viva || !FCancelar; };
    try {
        PesquisaArquivos(FTipoArq, ganchos).Pesquisar(pasta);
    } catch (const Exception &e) {
        if (!viva)
            return;
        SetPesquisando(false);
        atualizarTotal();
        m_verificacao->Verificar();
        m_messages.error(e.message());
        return;
    }
    if (!viva)
        return;
    SetPesquisando(false);
    atualizarTotal();
    dbgArquivos->viewport()->update();
    m_verificacao->Verificar();
}

void EnvioPage::atualizarTotal() {
    lblEnviarTotalRegistros->setText(QString::number(m_cdsArqs->rowCount()));
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
    atualizarTotal();
}

void EnvioPage::btLimparClick() {
    m_cdsArqs->Limpar();
    atualizarTotal();
}

bool EnvioPage::verificarArquivos(const QList<int> &rows, bool retirarAusentes) {
    QList<int> ausentes;
    QStringList relidos;
    try {
        relidos = m_cdsArqs->AtualizarAlterados(rows, ausentes);
    } catch (const Exception &e) {
        m_messages.error(e.message());
        return false;
    }
    if (!relidos.isEmpty())
        m_messages.information(
            QStringLiteral(
                "Os arquivos abaixo foram alterados fora do programa e foram lidos novamente:\n\n") +
            listar(relidos));
    if (ausentes.isEmpty())
        return true;
    if (!retirarAusentes) {
        m_messages.error(
            QStringLiteral("O arquivo \"%1\" não existe mais.").arg(m_cdsArqs->nomeArq(ausentes[0])));
        return false;
    }
    QStringList nomes;
    for (int row : ausentes)
        nomes << m_cdsArqs->nomeArq(row);
    const QString pergunta =
        ausentes.size() == 1
            ? QStringLiteral("O arquivo \"%1\" não existe mais.\n\nRetirar essa linha da fila e continuar?")
                  .arg(nomes[0])
            : QStringLiteral(
                  "Os arquivos abaixo não existem mais:\n\n%1\n\nRetirar essas %2 linhas da fila e "
                  "continuar?")
                  .arg(listar(nomes))
                  .arg(ausentes.size());
    if (!m_messages.question(pergunta))
        return false;
    // From the last row up, so that the rows still to go keep their numbers.
    std::sort(ausentes.begin(), ausentes.end(), std::greater<>());
    for (int row : ausentes)
        m_cdsArqs->removeRows(row, 1);
    atualizarTotal();
    return true;
}

void EnvioPage::ToolButton1Click() {
    const int row = dbgArquivos->currentIndex().row();
    if (m_cdsArqs->rowCount() == 0 || row < 0 || !verificarArquivos({row}, false))
        return;
    const QString caminho = m_cdsArqs->nomeArq(row);
    // The editor shows the file's own text, characters outside Windows-1252 included, so that
    // a save does not turn them into "?" in a file that can hold them.
    TextFile::Conteudo arquivo;
    try {
        arquivo = TextFile::ler(caminho);
    } catch (const Exception &e) {
        m_messages.error(e.message());
        return;
    }
    // Belongs to the main window: it goes when that closes instead of keeping the program running.
    auto *janela = new TfrmVisualizarScript(m_sessao, m_messages, this);
    janela->setCodigo(caminho);
    janela->setScript(TextFile::comCrLf(arquivo.texto));
    janela->setLocal(true);
    janela->setComparar(false);
    janela->setLinha(QPersistentModelIndex(m_cdsArqs->index(row, FilaArquivosModel::SCRIPT)));
    janela->setArquivoLido(arquivo.formato, arquivo.carimbo);
    janela->Exibir();
}

QList<int> EnvioPage::linhasAEnviar() {
    const QString sistema = cbSistema->currentText();
    const bool conhecidos =
        m_cdsArqs->sistemaNoServico() == sistema && m_cdsArqs->linhasSemEstado().isEmpty();
    QList<int> todas, pendentes;
    for (int i = 0; i < m_cdsArqs->rowCount(); ++i) {
        todas << i;
        const FilaArquivosModel::Linha &l = m_cdsArqs->linha(i);
        if (conhecidos ? l.noServico->tipo != EstadoNoServico::Tipo::Igual
                       : l.envio != FilaArquivosModel::Envio::Enviado || l.sistemaEnviado != sistema)
            pendentes << i;
    }
    if (conhecidos && pendentes.isEmpty()) {
        const bool novamente = m_messages.questionDefaultNo(
            QStringLiteral("Os %1 scripts já estão no serviço com o mesmo texto. Enviar todos novamente?")
                .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(todas.size())));
        return novamente ? todas : QList<int>();
    }
    if (pendentes.isEmpty() || pendentes.size() == todas.size())
        return todas;
    if (conhecidos) {
        // Sim sends the new and changed rows only; Não the whole queue, as without the service's
        // answer; Cancelar nothing.
        const std::optional<bool> soNovos =
            m_messages.questionOrCancel(perguntaSoNovos(todas.size() - pendentes.size(), todas.size()));
        if (!soNovos)
            return {};
        return *soNovos ? pendentes : todas;
    }
    // No sends the rows already stored a second time: Cancel lets a user who read No as "do
    // not send" back out.
    const std::optional<bool> soPendentes =
        m_messages.questionOrCancel(perguntaSoPendentes(todas.size() - pendentes.size(), todas.size()));
    if (!soPendentes)
        return {};
    return *soPendentes ? pendentes : todas;
}

bool EnvioPage::aceitarNaoSuportados(const QList<int> &rows) {
    QStringList arquivos;
    for (int row : rows) {
        const FilaArquivosModel::Linha &l = m_cdsArqs->linha(row);
        if (!l.naoSuportados.isEmpty())
            arquivos << l.nomeArq + u'\n' + Windows1252::descreverNaoSuportados(l.naoSuportados, 3);
    }
    if (arquivos.isEmpty())
        return true;
    QStringList mostrados = arquivos.mid(0, 10);
    if (arquivos.size() > mostrados.size())
        mostrados << QStringLiteral("… e mais %1 arquivos.").arg(arquivos.size() - mostrados.size());
    return m_messages.questionDefaultNo(
        QStringLiteral("Os caracteres abaixo não existem no código de página dos scripts e chegarão ao "
                       "servidor como \"?\":\n\n") +
        mostrados.join(QStringLiteral("\n\n")) + QStringLiteral("\n\nDeseja enviar assim mesmo?"));
}

bool EnvioPage::aceitarEnsaio(const QList<int> &rows) {
    if (m_cdsArqs->ensaioDesatualizado() &&
        !m_messages.questionDefaultNo(QStringLiteral("A fila mudou desde o ensaio. Enviar sem novo ensaio?")))
        return false;
    // Only the rows to be sent count: those the service already holds are not sent again.
    const int falhas = m_cdsArqs->falhasNoEnsaio(rows);
    if (falhas == 0)
        return true;
    return m_messages.questionDefaultNo(
        falhas == 1 ? QStringLiteral("1 script falhou no ensaio. Enviar mesmo assim?")
                    : QStringLiteral("%1 scripts falharam no ensaio. Enviar mesmo assim?")
                          .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(falhas)));
}

void EnvioPage::btEnviarClick() {
    m_enviarAposVerificar = false;
    m_ensaiadoParaEnvio = false;
    enviar(false);
}

void EnvioPage::enviar(bool semEstado) {
    if (cbSistema->currentIndex() < 0) {
        m_messages.error(QStringLiteral("Informe o sistema para upload dos scripts."));
        return;
    }
    if (m_cdsArqs->rowCount() == 0) {
        m_messages.error(QStringLiteral("Não existem scripts a serem enviados."));
        return;
    }
    if (m_enviando || FCancelar)
        return;
    QList<int> todas;
    for (int i = 0; i < m_cdsArqs->rowCount(); ++i)
        todas << i;
    if (!verificarArquivos(todas, true))
        return;
    if (m_cdsArqs->rowCount() == 0) { // every file had vanished
        m_messages.error(QStringLiteral("Não existem scripts a serem enviados."));
        return;
    }
    if (m_ensaio->ativo()) {
        m_messages.information(QStringLiteral("Aguarde o fim do ensaio da fila ou cancele-o."));
        return;
    }
    // The trial's database may have changed since: its outcomes no longer say anything.
    if (!m_ensaio->banco().isEmpty() && bancoDaValidacao(m_iniPath) != m_ensaio->banco())
        m_cdsArqs->PerderEnsaio();
    if (m_chkEnsaiarAntes->isChecked() && !m_ensaiadoParaEnvio) {
        ensaiar(true);
        return;
    }
    // The question needs what the service holds for every row: rows not known yet (a lookup
    // cancelled, failed or still going) are looked up first, and "Enviar" goes on after it.
    if (!semEstado && (m_verificacao->ativa() || !m_cdsArqs->linhasSemEstado().isEmpty())) {
        if (!m_enviarAposVerificar) {
            m_enviarAposVerificar = true;
            m_verificacao->Verificar();
        }
        return;
    }
    const QList<int> rows = linhasAEnviar();
    if (rows.isEmpty() || !aceitarEnsaio(rows) || !aceitarNaoSuportados(rows))
        return;

    QList<FilaArquivosModel::Linha> linhas;
    linhas.reserve(rows.size());
    for (int row : rows)
        linhas << m_cdsArqs->linha(row);
    m_pararEnvio = std::make_shared<Cancelamento>();
    m_envioSilencioso = false;
    m_enviando = true;
    m_espera.IniciarEspera(int(linhas.size()), QStringLiteral("Enviando os scripts..."), m_pararEnvio.get());
    m_threadEnvio = new ThreadEnvio(m_sessao, linhas, cbSistema->currentText(), m_pararEnvio);
    connect(
        m_threadEnvio, &ThreadEnvio::progresso, m_threadEnvio,
        [this](int valor) { m_espera.setValor(valor); }, Qt::DirectConnection);
    connect(m_threadEnvio, &ThreadEnvio::fimEnvio, this, &EnvioPage::FimEnvio, Qt::BlockingQueuedConnection);
    connect(m_threadEnvio, &QThread::finished, m_threadEnvio, &QObject::deleteLater);
    m_threadEnvio->start();
}

void EnvioPage::InterromperEnvio() {
    if (!m_enviando)
        return;
    m_envioSilencioso = true;
    m_pararEnvio->cancelar();
}

void EnvioPage::FimEnvio(int enviados, const QString &erro) {
    const QList<FilaArquivosModel::Linha> linhas = m_threadEnvio->linhas();
    m_espera.FinalizarEspera();
    const bool falhou = !erro.isEmpty();
    m_cdsArqs->RegistrarEnvio(linhas.mid(0, enviados),
                              falhou ? linhas.at(enviados) : FilaArquivosModel::Linha(), erro,
                              m_threadEnvio->sistema());
    m_enviando = false;
    if (!m_envioSilencioso)
        m_verificacao->Verificar(); // the rows sent are now on the service, with their codes
    emit envioConcluido();
    // Once this handler has returned and released the worker.
    QMetaObject::invokeMethod(this, &EnvioPage::envioTerminado, Qt::QueuedConnection);
    if (m_envioSilencioso)
        return;
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    const QString contagem = QStringLiteral("%1 de %2 scripts enviados.")
                                 .arg(brasil.toString(enviados), brasil.toString(linhas.size()));
    if (m_threadEnvio->abortado())
        m_messages.information(
            QStringLiteral("Envio interrompido. %1\nO serviço não respondeu ao envio do arquivo \"%2\", que "
                           "pode ter sido gravado.")
                .arg(contagem, linhas.at(enviados).nomeArq));
    else if (falhou)
        m_messages.error(ErroGeral::comPontoFinal(QStringLiteral("Falha ao enviar o arquivo \"%1\": %2")
                                                      .arg(linhas.at(enviados).nomeArq, erro)) +
                         u'\n' + contagem);
    else if (enviados < linhas.size())
        m_messages.information(QStringLiteral("Envio interrompido. ") + contagem);
    else
        m_messages.information(QStringLiteral("Os scripts foram enviados com sucesso."));
}

bool EnvioPage::consultandoServico() const {
    return m_verificacao->ativa();
}

void EnvioPage::btCompararClick() {
    const int row = dbgArquivos->currentIndex().row();
    const FilaArquivosModel::Linha *l = row >= 0 ? &m_cdsArqs->linha(row) : nullptr;
    if (!l || !l->noServico || l->noServico->tipo != EstadoNoServico::Tipo::Alterado) {
        m_messages.information(
            QStringLiteral("Somente um arquivo \"Alterado\" na coluna \"No serviço\" pode ser comparado."));
        return;
    }
    // The stored text on the left, the file's on the right, as a change is read.
    auto *janela = new TfrmVisualizarScript(m_sessao, m_messages, this);
    janela->setCodigo(QString::number(l->noServico->codigo));
    janela->setScriptAnterior(Windows1252::toUnicode(l->noServico->scriptNoServico));
    janela->setScript(Windows1252::toUnicode(l->script));
    janela->setComparar(true);
    janela->Exibir();
}

void EnvioPage::btValidarClick() {
    const int row = dbgArquivos->currentIndex().row();
    const bool comArquivo = m_cdsArqs->rowCount() > 0 && row >= 0;
    const QString caminho = comArquivo ? m_cdsArqs->nomeArq(row) : QString();
    // A vanished file taken out of the queue leaves the editor empty.
    if (comArquivo && !verificarArquivos({row}, true))
        return;
    // Destroyed with the main window; a closed one is freed at once instead of piling up hidden.
    auto *janela = new TfrmValidarScript(m_iniPath, window());
    janela->setAttribute(Qt::WA_DeleteOnClose);
    janela->show();
    if (comArquivo)
        janela->LoadFile(caminho);
}

void EnvioPage::btEnsaiarClick() {
    // A search still filling the queue would leave the trial stale at once.
    if (m_ensaio->ativo() || m_enviando || FCancelar)
        return;
    if (m_cdsArqs->rowCount() == 0) {
        m_messages.error(QStringLiteral("Não existem scripts a serem ensaiados."));
        return;
    }
    QList<int> todas;
    for (int i = 0; i < m_cdsArqs->rowCount(); ++i)
        todas << i;
    if (!verificarArquivos(todas, true) || m_cdsArqs->rowCount() == 0)
        return;
    ensaiar(false);
}

bool EnvioPage::ensaiando() const {
    return m_ensaio->ativo();
}

void EnvioPage::ensaiar(bool enviarDepois) {
    m_enviarAposEnsaio = enviarDepois;
    const QString banco = bancoDaValidacao(m_iniPath);
    if (banco.isEmpty()) {
        pedirBanco(QString());
        return;
    }
    m_bancoPedido = banco;
    // The last database's password, moved to the keyring first when an older version left it in the file.
    m_senhaGuardada->lerUltima();
}

void EnvioPage::pedirBanco(const QString &banco) {
    auto *dialogo = new DialogoBancoEnsaio(banco, this);
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialogo, &QDialog::accepted, this,
            [this, dialogo] { iniciarEnsaio(dialogo->banco(), dialogo->senha(), true); });
    connect(dialogo, &QDialog::rejected, this, [this] { m_enviarAposEnsaio = false; });
    dialogo->open();
}

void EnvioPage::iniciarEnsaio(const QString &banco, const QString &senha, bool lembrar) {
    if (banco.isEmpty()) {
        m_enviarAposEnsaio = false;
        m_messages.error(QStringLiteral("Informe o banco de dados."));
        return;
    }
    m_lembrarSenha = lembrar;
    m_senhaEnsaio = senha;
    if (!m_ensaio->Ensaiar(banco, senha))
        m_enviarAposEnsaio = false;
}

void EnvioPage::fimEnsaio(bool completo, int falhas, const QString &erro) {
    const bool enviarDepois = std::exchange(m_enviarAposEnsaio, false);
    const QString senha = std::exchange(m_senhaEnsaio, QString());
    // The column lies right of the long paths: bring the first failure, or the first row, into view.
    if (m_cdsArqs->rowCount() > 0 && erro.isEmpty()) {
        int row = 0;
        while (row < m_cdsArqs->rowCount() - 1 && !m_cdsArqs->linha(row).falhouNoEnsaio)
            ++row;
        if (!m_cdsArqs->linha(row).falhouNoEnsaio)
            row = 0;
        dbgArquivos->scrollTo(m_cdsArqs->index(row, FilaArquivosModel::ENSAIO));
        dbgArquivos->horizontalScrollBar()->setValue(
            dbgArquivos->horizontalScrollBar()->maximum()); // the last column
    }
    if (!erro.isEmpty()) {
        m_messages.error(QStringLiteral("Não foi possível ensaiar a fila.\n") + erro);
        return;
    }
    // Typed and attached with: the validation's next run, and the next trial, start from them.
    if (m_lembrarSenha) {
        try {
            ValidationSettings(m_iniPath).write({m_ensaio->banco(), QString()});
        } catch (const Exception &) {
            // Remembering is a convenience; the trial itself went well.
        }
        m_senhaGuardada->gravar(m_ensaio->banco(), senha);
    }
    if (!enviarDepois || !completo)
        return;
    if (falhas > 0) {
        m_messages.error(falhas == 1
                             ? QStringLiteral("1 script falhou no ensaio; nada foi enviado.")
                             : QStringLiteral("%1 scripts falharam no ensaio; nada foi enviado.")
                                   .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(falhas)));
        return;
    }
    m_ensaiadoParaEnvio = true;
    enviar(false);
}

void EnvioPage::mostrarScriptAtual() {
    const int row = dbgArquivos->currentIndex().row();
    const QByteArray script = row < 0 ? QByteArray() : m_cdsArqs->script(row);
    // The same text already shown: a script of a few megabytes is not converted again.
    if (script.isSharedWith(m_scriptMostrado))
        return;
    m_scriptMostrado = script;
    QString texto = Windows1252::toUnicode(script);
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    DBMemo1->setPlainText(texto);
}
