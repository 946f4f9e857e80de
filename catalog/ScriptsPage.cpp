#include "catalog/ScriptsPage.h"

#include "base/ErroGeral.h"
#include "base/Messages.h"
#include "catalog/Campos.h"
#include "catalog/MontarParametros.h"
#include "editor/TfrmVisualizarScript.h"
#include "service/ErroCancelado.h"
#include "service/ErroTransporte.h"
#include "service/Protocolo.h"
#include "widgets/DateEdit.h"
#include "widgets/ElementosPagina.h"

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
      m_threadPesquisa(sessao.conexao(), m_cdsPesquisa, espera),
      m_releitura(sessao,
                  [this](int codigo, const std::optional<QByteArray> &texto) { Relido(codigo, texto); }) {
    Q_UNUSED(iniPath) // the main window reads and writes this page's settings
    setObjectName(QStringLiteral("ScriptsPage"));
    m_cdsPesquisa.setObjectName(QStringLiteral("cdsPesquisa"));

    Panel2 = Painel(QStringLiteral("Panel2"), Qt::white, this);
    Panel2->setFixedHeight(106);
    Label11 = Titulo(QStringLiteral("Label11"), QStringLiteral("Editar scripts"), Panel2);
    Rotulo(QStringLiteral("Label12"), QStringLiteral("Sistema:"), 10, 49, Panel2);
    cbEditarSistema = ListaSistemasFiltro(QStringLiteral("cbEditarSistema"), Panel2);
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
    PrepararGrade(dbgPesquisa, TabelaPesquisa::DATA);
    dbgPesquisa->setColumnWidth(TabelaPesquisa::ARQUIVO, 484);
    DBMemo2 = Memo(QStringLiteral("DBMemo2"), Splitter2);
    Splitter2->addWidget(dbgPesquisa);
    Splitter2->addWidget(DBMemo2);
    TamanhosFixos(Splitter2, {-1, 136});
    panelEditarTotal = BarraTotal(QStringLiteral("panelEditarTotal"), QStringLiteral("Label19"),
                                  QStringLiteral("lblEditarTotalRegistros"), lblEditarTotalRegistros, Panel3);

    Montar(Panel2, Panel3, ToolBar2, Splitter2, panelEditarTotal, [this] { btEditarPesquisaClick(); });

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
    Pesquisar(m_threadPesquisa, m_cdsPesquisa, dbgPesquisa, m_edEditarMaximo, MontarParametrosPesquisa(),
              textos, [this](std::exception_ptr erro) { FimPesquisa(erro); });
}

void ScriptsPage::FimPesquisa(std::exception_ptr erro) {
    Terminar(dbgPesquisa, lblEditarTotalRegistros, erro);
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
    connect(janela, &TfrmVisualizarScript::salvoNoServidor, this,
            [this](int codigo, const QByteArray &script) { m_cdsPesquisa.Armazenado(codigo, script); });
    connect(janela, &TfrmVisualizarScript::salvamentoIncerto, this,
            [this](int codigo) { m_releitura.Pedir(codigo); });
    janela->Exibir();
}

// What the service stores for a script whose save or delete ended unknown: its rows and its
// editors follow it.
void ScriptsPage::Relido(int codigo, const std::optional<QByteArray> &texto) {
    const int antes = m_cdsPesquisa.rowCount();
    m_cdsPesquisa.Armazenado(codigo, texto);
    // A fetch under way writes the count when it ends.
    if (m_cdsPesquisa.rowCount() < antes && !m_threadPesquisa.Executando()) {
        for (int i = m_cdsPesquisa.rowCount(); i < antes; ++i)
            RegistroRemovido();
        MostrarTotal(lblEditarTotalRegistros, m_cdsPesquisa.rowCount());
    }
    if (!texto)
        return;
    for (TfrmVisualizarScript *janela : findChildren<TfrmVisualizarScript *>())
        if (!janela->Local() && !janela->Comparar() && janela->Codigo() == QString::number(codigo))
            janela->ConferirArmazenado(*texto);
}

void ScriptsPage::btExcluirRegistroClick() {
    if (m_cdsPesquisa.rowCount() == 0 || Ocupada())
        return;
    if (!m_messages.question(QStringLiteral("Deseja excluir o script selecionado?")))
        return;
    // The row is followed, not its number: the user may sort the grid while the request waits.
    const QPersistentModelIndex linha(m_cdsPesquisa.index(LinhaAtual(), TabelaPesquisa::CODIGO));
    const int codigo = m_cdsPesquisa.Linha(linha.row()).codigo;
    auto resposta = std::make_shared<Protocolo::Resposta>();
    m_threadExcluir.Iniciar(
        [this, codigo, resposta](const ThreadBusca::NaInterface &) {
            *resposta = Protocolo::Excluir(m_sessao, codigo);
        },
        [this, codigo, linha, resposta](std::exception_ptr erro) {
            Desocupar();
            FimExclusao(codigo, linha, *resposta, erro);
        });
    Ocupar(QStringLiteral("Excluindo o script no servidor..."), m_threadExcluir.cancelamento());
}

void ScriptsPage::FimExclusao(int codigo, const QPersistentModelIndex &linha,
                              const Protocolo::Resposta &resposta, std::exception_ptr erro) {
    if (Cancelado(erro)) {
        // A request that had left may have been carried out all the same: the read-back tells.
        try {
            std::rethrow_exception(erro);
        } catch (const ErroCancelado &e) {
            if (e.pedidoEnviado()) {
                m_releitura.Pedir(codigo);
                m_messages.warning(
                    QStringLiteral("A exclusão foi cancelada, mas o serviço pode tê-la feito."));
            }
        }
        return;
    }
    if (erro) {
        QString mensagem = QStringLiteral("Falha ao excluir o script.");
        try {
            std::rethrow_exception(erro);
        } catch (const ErroTransporte &e) {
            mensagem += QLatin1Char(' ') + ErroGeral::comPontoFinal(e.message());
            // The service had the whole request and gave no answer: it may have deleted it.
            if (e.pedidoEnviado()) {
                m_releitura.Pedir(codigo);
                mensagem += QStringLiteral(" O serviço pode tê-la feito.");
            }
        } catch (...) {
        }
        m_messages.error(mensagem);
        return;
    }
    if (!resposta.success) {
        m_messages.error(resposta.message);
        return;
    }
    if (!linha.isValid()) // the table was emptied meanwhile; nothing left to remove
        return;
    const int removida = linha.row();
    m_cdsPesquisa.removeRows(removida, 1);
    RegistroRemovido();
    MostrarTotal(lblEditarTotalRegistros, m_cdsPesquisa.rowCount());
    // The row after the deleted one becomes current, the one before it when it was the last.
    if (m_cdsPesquisa.rowCount() > 0)
        dbgPesquisa->setCurrentIndex(
            m_cdsPesquisa.index(qMin(removida, m_cdsPesquisa.rowCount() - 1), TabelaPesquisa::CODIGO));
}
