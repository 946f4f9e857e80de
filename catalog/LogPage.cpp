#include "catalog/LogPage.h"

#include "base/Messages.h"
#include "catalog/Campos.h"
#include "catalog/MontarParametros.h"
#include "editor/TfrmVisualizarScript.h"
#include "service/Sessao.h"
#include "widgets/DateEdit.h"
#include "widgets/ElementosPagina.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace ElementosPagina;

namespace {

// A caption over a script view.
QWidget *ComRotulo(const QString &nomeRotulo, const QString &texto, QPlainTextEdit *memo, QWidget *parent) {
    auto *bloco = new QWidget(parent);
    auto *rotulo = new QLabel(texto, bloco);
    rotulo->setObjectName(nomeRotulo);
    auto *layout = new QVBoxLayout(bloco);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(rotulo);
    layout->addWidget(memo, 1);
    return bloco;
}

} // namespace

LogPage::LogPage(Sessao &sessao, Messages &messages, Espera &espera, const QString &iniPath, QWidget *parent)
    : PaginaBusca(sessao, messages, espera, parent), m_threadLog(sessao.conexao(), m_cdsLog, espera) {
    Q_UNUSED(iniPath) // the main window reads and writes this page's settings
    setObjectName(QStringLiteral("LogPage"));
    m_cdsLog.setObjectName(QStringLiteral("cdsLog"));

    Panel4 = Painel(QStringLiteral("Panel4"), Qt::white, this);
    Panel4->setFixedHeight(111);
    Label16 = Titulo(QStringLiteral("Label16"), QStringLiteral("Log dos Scripts"), Panel4);
    Rotulo(QStringLiteral("Label15"), QStringLiteral("Sistema:"), 10, 50, Panel4);
    cbLogSistema = ListaSistemasFiltro(QStringLiteral("cbLogSistema"), Panel4);
    cbLogSistema->setGeometry(57, 46, 132, 21);
    Rotulo(QStringLiteral("Label21"), QStringLiteral("Código:"), 195, 50, Panel4);
    edLogCodigo = Caixa(QStringLiteral("edLogCodigo"), 238, 46, 92, Panel4);
    Rotulo(QStringLiteral("Label13"), QStringLiteral("Data:"), 336, 50, Panel4);
    m_edLogDataInicio = CaixaData(QStringLiteral("edLogDataInicio"), 378, 46, Panel4);
    Rotulo(QStringLiteral("Label17"), QStringLiteral("até"), 504, 50, Panel4);
    m_edLogDataFim = CaixaData(QStringLiteral("edLogDataFim"), 542, 46, Panel4);
    Rotulo(QStringLiteral("Label14"), QStringLiteral("Arquivo:"), 10, 77, Panel4);
    edLogArquivo = Caixa(QStringLiteral("edLogArquivo"), 57, 73, 273, Panel4);
    Rotulo(QStringLiteral("Label24"), QStringLiteral("Usuário:"), 336, 77, Panel4);
    edLogUsuario = Caixa(QStringLiteral("edLogUsuario"), 378, 73, 103, Panel4);
    Rotulo(QStringLiteral("Label22"), QStringLiteral("Máximo:"), 492, 77, Panel4);
    m_edLogMaximo = CaixaMaximo(QStringLiteral("edLogMaximo"), 542, 73, Panel4);
    OrdemTab({cbLogSistema, edLogCodigo, m_edLogDataInicio, m_edLogDataFim, edLogArquivo, edLogUsuario,
              m_edLogMaximo});

    Panel5 = Painel(QStringLiteral("Panel5"), Qt::white, this);
    ToolBar3 = BarraFerramentas(QStringLiteral("ToolBar3"), Panel5);
    btLogPesquisar = Botao(QStringLiteral("btLogPesquisar"), QStringLiteral("Procurar"), 7,
                           QStringLiteral("Procurar logs"), 54, ToolBar3);
    ToolBar3->addSeparator();
    btLogComparar =
        Botao(QStringLiteral("btLogComparar"), QStringLiteral("Comparar"), 13,
              QStringLiteral("Comparar uma ocorrência do log com o registro atual."), 54, ToolBar3);

    Splitter3 = new QSplitter(Qt::Vertical, Panel5);
    Splitter3->setObjectName(QStringLiteral("Splitter3"));
    dbgLog = Grade(QStringLiteral("dbgLog"), Splitter3);
    dbgLog->setModel(&m_cdsLog);
    dbgLog->hideColumn(TabelaLog::SCRIPT_ANTERIOR);
    dbgLog->hideColumn(TabelaLog::SCRIPT_ATUAL);
    PrepararGrade(dbgLog, TabelaLog::DATA);
    dbgLog->setColumnWidth(TabelaLog::NOME, 85);
    dbgLog->setColumnWidth(TabelaLog::ARQUIVO, 309);
    dbgLog->setColumnWidth(TabelaLog::DESCRICAO, 129);

    Panel8 = new QWidget(Splitter3);
    Panel8->setObjectName(QStringLiteral("Panel8"));
    Splitter4 = new QSplitter(Qt::Vertical, Panel8);
    Splitter4->setObjectName(QStringLiteral("Splitter4"));
    DBMemo3 = Memo(QStringLiteral("DBMemo3"), Splitter4);
    DBMemo4 = Memo(QStringLiteral("DBMemo4"), Splitter4);
    QWidget *anterior = ComRotulo(QStringLiteral("lblAnterior"), QStringLiteral(" Script antes da alteração"),
                                  DBMemo3, Splitter4);
    Splitter4->addWidget(anterior);
    Splitter4->addWidget(
        ComRotulo(QStringLiteral("lblAtual"), QStringLiteral(" Script atual"), DBMemo4, Splitter4));
    // Both views fit the 140 pixels of the area with their captions.
    DBMemo3->setMinimumHeight(20);
    DBMemo4->setMinimumHeight(20);
    // The view itself is 50 pixels high, under its caption.
    const int rotulo = anterior->findChild<QLabel *>(QStringLiteral("lblAnterior"))->sizeHint().height();
    TamanhosFixos(Splitter4, {rotulo + AlturaAnterior, -1});
    auto *textos = new QVBoxLayout(Panel8);
    textos->setContentsMargins(0, 0, 0, 0);
    textos->addWidget(Splitter4);
    Splitter3->addWidget(dbgLog);
    Splitter3->addWidget(Panel8);
    TamanhosFixos(Splitter3, {-1, 140});
    Panel7 = BarraTotal(QStringLiteral("Panel7"), QStringLiteral("Label23"),
                        QStringLiteral("lblLogTotalRegistros"), lblLogTotalRegistros, Panel5);

    Montar(Panel4, Panel5, ToolBar3, Splitter3, Panel7, [this] { btLogPesquisarClick(); });

    connect(btLogPesquisar, &QToolButton::clicked, this, &LogPage::btLogPesquisarClick);
    connect(btLogComparar, &QToolButton::clicked, this, &LogPage::btLogCompararClick);
    connect(dbgLog->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &LogPage::MostrarScripts);
    connect(&m_cdsLog, &QAbstractItemModel::modelReset, this, &LogPage::MostrarScripts);
}

CamposRequisicao LogPage::MontarParametrosLog() const {
    return ::MontarParametrosLog(Filtros(cbLogSistema, edLogCodigo, m_edLogDataInicio, m_edLogDataFim,
                                         edLogArquivo, m_edLogMaximo, edLogUsuario),
                                 m_sessao.chave());
}

void LogPage::btLogPesquisarClick() {
    static const TextosBusca textos{
        QStringLiteral("/pesquisar_log"),
        {QStringLiteral("Falha ao pesquisar os logs no servidor."),
         QStringLiteral("Não foram encontrados logs com os parâmetros informados.")},
        QStringLiteral("Pesquisando logs no servidor...")};
    Pesquisar(m_threadLog, m_cdsLog, dbgLog, m_edLogMaximo, MontarParametrosLog(), textos,
              [this](std::exception_ptr erro) { FimPesquisaLog(erro); });
}

void LogPage::FimPesquisaLog(std::exception_ptr erro) {
    Terminar(dbgLog, lblLogTotalRegistros, erro);
}

void LogPage::MostrarScripts() {
    const QModelIndex atual = dbgLog->currentIndex();
    const auto texto = [&](int coluna) {
        return atual.isValid() ? m_cdsLog.index(atual.row(), coluna).data().toString() : QString();
    };
    DBMemo3->setPlainText(texto(TabelaLog::SCRIPT_ANTERIOR));
    DBMemo4->setPlainText(texto(TabelaLog::SCRIPT_ATUAL));
}

void LogPage::btLogCompararClick() {
    if (m_cdsLog.rowCount() == 0)
        return;
    const int atual = dbgLog->currentIndex().row();
    const RegistroLog &linha = m_cdsLog.Linha(atual >= 0 ? atual : 0);
    auto *janela = new TfrmVisualizarScript(m_sessao, m_messages, this);
    janela->setCodigo(QString::number(linha.idscript));
    janela->setScript(Campos::ExibirScript(linha.script_atual));
    janela->setScriptAnterior(Campos::ExibirScript(linha.script_anterior));
    janela->setComparar(true);
    janela->Exibir();
}
