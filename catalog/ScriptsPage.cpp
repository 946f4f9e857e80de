#include "catalog/ScriptsPage.h"

#include "catalog/Campos.h"
#include "widgets/ElementosPagina.h"
#include "catalog/MontarParametros.h"
#include "editor/TfrmVisualizarScript.h"
#include "service/Protocolo.h"
#include "widgets/DateEdit.h"
#include "base/Messages.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

using namespace ElementosPagina;

ScriptsPage::ScriptsPage(Sessao &sessao, Messages &messages, Espera &espera, const QString &iniPath,
                         QWidget *parent)
    : PaginaBusca(sessao, messages, espera, parent),
      m_threadPesquisa(sessao.conexao(), m_cdsPesquisa, espera) {
    Q_UNUSED(iniPath) // the main window reads and writes this page's settings
    setObjectName(QStringLiteral("ScriptsPage"));
    m_cdsPesquisa.setObjectName(QStringLiteral("cdsPesquisa"));

    Panel2 = Painel(QStringLiteral("Panel2"), Qt::white, this);
    Panel2->setFixedHeight(106);
    Label11 = Titulo(QStringLiteral("Label11"), QStringLiteral("Editar scripts"), Panel2);
    Rotulo(QStringLiteral("Label12"), QStringLiteral("Sistema:"), 10, 49, Panel2);
    cbEditarSistema = ListaSistemas(QStringLiteral("cbEditarSistema"), Panel2);
    cbEditarSistema->setGeometry(57, 45, 132, 21);
    Rotulo(QStringLiteral("Label10"), QStringLiteral("Código:"), 195, 49, Panel2);
    edEditarCodigo = Caixa(QStringLiteral("edEditarCodigo"), 238, 45, 92, Panel2);
    Rotulo(QStringLiteral("Label8"), QStringLiteral("Data:"), 336, 49, Panel2);
    m_edEditarDataInicio = CaixaData(QStringLiteral("edEditarDataInicio"), 369, 45, Panel2);
    Rotulo(QStringLiteral("Label7"), QStringLiteral("até"), 482, 49, Panel2);
    m_edEditarDataFim = CaixaData(QStringLiteral("edEditarDataFim"), 510, 45, Panel2);
    Rotulo(QStringLiteral("Label9"), QStringLiteral("Arquivo:"), 10, 76, Panel2);
    edEditarArquivo = Caixa(QStringLiteral("edEditarArquivo"), 57, 72, 320, Panel2);
    Rotulo(QStringLiteral("Label18"), QStringLiteral("Máximo de resultados:"), 383, 76, Panel2);
    m_edEditarMaximo = CaixaMaximo(QStringLiteral("edEditarMaximo"), 510, 72, Panel2);
    OrdemTab({cbEditarSistema, edEditarCodigo, m_edEditarDataInicio, m_edEditarDataFim, edEditarArquivo,
              m_edEditarMaximo});

    Panel3 = Painel(QStringLiteral("Panel3"), Qt::white, this);
    ToolBar2 = BarraFerramentas(QStringLiteral("ToolBar2"), Panel3);
    btEditarPesquisa = Botao(QStringLiteral("btEditarPesquisa"), QStringLiteral("Procurar"), 7,
                             QStringLiteral("Pesquisar por scripts no servidor."), 48, ToolBar2);
    ToolBar2->addSeparator();
    btEditarRegistro = Botao(QStringLiteral("btEditarRegistro"), QStringLiteral("Editar"), 10,
                             QStringLiteral("Editar o script selecionado."), 48, ToolBar2);
    btExcluirRegistro = Botao(QStringLiteral("btExcluirRegistro"), QStringLiteral("Excluir"), 1,
                              QStringLiteral("Excluir o script selecionado."), 48, ToolBar2);

    Splitter2 = new QSplitter(Qt::Vertical, Panel3);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    dbgPesquisa = Grade(QStringLiteral("dbgPesquisa"), Splitter2);
    dbgPesquisa->setModel(&m_cdsPesquisa);
    dbgPesquisa->hideColumn(TabelaPesquisa::SCRIPT);
    dbgPesquisa->setColumnWidth(TabelaPesquisa::DATA, 120);
    dbgPesquisa->setColumnWidth(TabelaPesquisa::ARQUIVO, 484);
    DBMemo2 = Memo(QStringLiteral("DBMemo2"), Splitter2);
    Splitter2->addWidget(dbgPesquisa);
    Splitter2->addWidget(DBMemo2);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setSizes({300, 136});
    panelEditarTotal = BarraTotal(QStringLiteral("panelEditarTotal"), QStringLiteral("Label19"),
                                  QStringLiteral("lblEditarTotalRegistros"), lblEditarTotalRegistros, Panel3);

    Montar(Panel2, Panel3, ToolBar2, Splitter2, panelEditarTotal);

    connect(btEditarPesquisa, &QToolButton::clicked, this, &ScriptsPage::btEditarPesquisaClick);
    connect(btEditarRegistro, &QToolButton::clicked, this, &ScriptsPage::btEditarRegistroClick);
    connect(btExcluirRegistro, &QToolButton::clicked, this, &ScriptsPage::btExcluirRegistroClick);
    connect(dbgPesquisa->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ScriptsPage::MostrarScript);
    connect(&m_cdsPesquisa, &QAbstractItemModel::dataChanged, this, &ScriptsPage::MostrarScript);
    connect(&m_cdsPesquisa, &QAbstractItemModel::modelReset, this, &ScriptsPage::MostrarScript);
    connect(&m_cdsPesquisa, &QAbstractItemModel::rowsRemoved, this, &ScriptsPage::MostrarScript);
}

CamposRequisicao ScriptsPage::MontarParametrosPesquisa() const {
    return ::MontarParametrosPesquisa(Filtros(cbEditarSistema, edEditarCodigo, m_edEditarDataInicio,
                                              m_edEditarDataFim, edEditarArquivo, m_edEditarMaximo),
                                      m_sessao.chave());
}

void ScriptsPage::btEditarPesquisaClick() {
    static const TextosBusca textos{
        QStringLiteral("/pesquisar"),
        {QStringLiteral("Falha ao pesquisar os scripts no servidor."),
         QStringLiteral("Não foram encontrados scripts com os parâmetros informados.")},
        QStringLiteral("Pesquisando scripts no servidor...")};
    Pesquisar(
        m_threadPesquisa, m_cdsPesquisa, m_edEditarMaximo, [this] { return MontarParametrosPesquisa(); },
        textos, [this](const QString &falha) { FimPesquisa(falha); });
}

void ScriptsPage::FimPesquisa(const QString &falha) {
    Terminar(dbgPesquisa, lblEditarTotalRegistros, falha);
}

int ScriptsPage::LinhaAtual() const {
    const int linha = dbgPesquisa->currentIndex().row();
    return linha >= 0 && linha < m_cdsPesquisa.rowCount() ? linha : 0;
}

void ScriptsPage::MostrarScript() {
    const QModelIndex atual = dbgPesquisa->currentIndex();
    DBMemo2->setPlainText(atual.isValid()
                              ? m_cdsPesquisa.index(atual.row(), TabelaPesquisa::SCRIPT).data().toString()
                              : QString());
}

void ScriptsPage::btEditarRegistroClick() {
    if (m_cdsPesquisa.rowCount() == 0)
        return;
    const int linha = LinhaAtual();
    auto *janela = new TfrmVisualizarScript(m_sessao, m_messages, this);
    janela->setCodigo(QString::number(m_cdsPesquisa.Linha(linha).codigo));
    janela->setScript(Campos::ExibirScript(m_cdsPesquisa.Linha(linha).script));
    janela->setComparar(false);
    janela->setLinha(QPersistentModelIndex(m_cdsPesquisa.index(linha, TabelaPesquisa::SCRIPT)));
    janela->Exibir();
}

void ScriptsPage::btExcluirRegistroClick() {
    if (m_cdsPesquisa.rowCount() == 0)
        return;
    if (!m_messages.question(QStringLiteral("Deseja excluir o script selecionado?")))
        return;
    const int linha = LinhaAtual();
    Protocolo::Resposta resposta;
    try {
        resposta = Protocolo::Excluir(m_sessao, m_cdsPesquisa.Linha(linha).codigo);
    } catch (const std::exception &) {
        m_messages.error(QStringLiteral("Falha ao excluir o script."));
        return;
    }
    if (!resposta.success) {
        m_messages.error(resposta.message);
        return;
    }
    m_cdsPesquisa.removeRows(linha, 1);
    // The row after the deleted one becomes current, the one before it when it was the last.
    if (m_cdsPesquisa.rowCount() > 0)
        dbgPesquisa->setCurrentIndex(
            m_cdsPesquisa.index(qMin(linha, m_cdsPesquisa.rowCount() - 1), TabelaPesquisa::CODIGO));
}
