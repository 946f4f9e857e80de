#include "catalog/PaginaBusca.h"

#include "base/Messages.h"
#include "catalog/Campos.h"
#include "service/ErroCancelado.h"
#include "widgets/DateEdit.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Enter in any box of the filter panel starts the search.
class EnterProcura : public QObject {
public:
    EnterProcura(std::function<void()> procurar, QObject *parent)
        : QObject(parent), m_procurar(std::move(procurar)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::KeyPress) {
            const int tecla = static_cast<QKeyEvent *>(event)->key();
            if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
                m_procurar();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_procurar;
};

} // namespace

PaginaBusca::PaginaBusca(Sessao &sessao, Messages &messages, Espera &espera, QWidget *parent)
    : QWidget(parent), m_sessao(sessao), m_messages(messages), m_espera(espera),
      m_adiada(
          [this] {
              m_bloqueio.reset();
              m_espera.IniciarEspera(0, m_mensagem, m_cancelamento);
          },
          [this] { m_espera.FinalizarEspera(); }) {}

bool PaginaBusca::MaximoAceito(QLineEdit *caixa) {
    if (LerMaximo(caixa->text()) <= MaximoRegistros)
        return true;
    caixa->setText(QString::number(MaximoRegistros));
    m_messages.warning(QStringLiteral("A quantidade máxima de registros não pode ser superior a 500."));
    return false;
}

int PaginaBusca::Teto(const QLineEdit *maximo) {
    const qint64 valor = LerMaximo(maximo->text());
    return valor > 0 ? int(valor) : MaximoRegistros;
}

void PaginaBusca::Ocupar(const QString &mensagem, Cancelamento *cancelamento) {
    m_ocupada = true;
    m_mensagem = mensagem;
    m_cancelamento = cancelamento;
    m_bloqueio = std::make_unique<BloqueioEntrada>(window());
    m_adiada.Armar();
}

void PaginaBusca::Desocupar() {
    m_bloqueio.reset();
    m_adiada.Desarmar();
    m_ocupada = false;
    m_cancelamento = nullptr;
}

bool PaginaBusca::Cancelado(std::exception_ptr erro) {
    if (!erro)
        return false;
    try {
        std::rethrow_exception(erro);
    } catch (const ErroCancelado &) {
        return true;
    } catch (...) {
        return false;
    }
}

void PaginaBusca::Contados(int registros, int teto, const QString &aguarde) {
    m_bloqueio.reset();
    m_adiada.Desarmar();
    m_registros = registros;
    m_cortada = registros > teto;
    m_espera.IniciarEspera(qMin(registros, teto), aguarde, m_cancelamento);
}

PaginaBusca::Vista PaginaBusca::NovaBusca(QTableView *grade) {
    QHeaderView *titulos = grade->horizontalHeader();
    const Vista antes{grade->currentIndex().row(),
                      titulos->sortIndicatorSection(),
                      titulos->sortIndicatorOrder(),
                      m_registros,
                      m_cortada,
                      QPoint(grade->horizontalScrollBar()->value(), grade->verticalScrollBar()->value())};
    titulos->setSortIndicator(-1, Qt::AscendingOrder);
    grade->horizontalScrollBar()->setValue(0);
    return antes;
}

void PaginaBusca::Reposicionar(QTableView *grade, const Vista &vista) {
    m_registros = vista.registros;
    m_cortada = vista.cortada;
    // The rows came back in the order they had, so sorting them again moves none.
    grade->horizontalHeader()->setSortIndicator(vista.coluna, vista.ordem);
    if (vista.linha >= 0 && vista.linha < grade->model()->rowCount())
        grade->setCurrentIndex(grade->model()->index(vista.linha, 0));
    grade->horizontalScrollBar()->setValue(vista.rolagem.x());
    grade->verticalScrollBar()->setValue(vista.rolagem.y());
}

FiltroTela PaginaBusca::Filtros(const QComboBox *sistema, const QLineEdit *codigo, const DateEdit *inicio,
                                const DateEdit *fim, const QLineEdit *arquivo, const QLineEdit *maximo,
                                const QLineEdit *usuario) {
    FiltroTela tela;
    tela.sistema = sistema->currentIndex() < 0 ? QString() : sistema->currentText();
    tela.codigo = codigo->text();
    tela.usuario = usuario ? usuario->text() : QString();
    tela.dataInicio = inicio->date();
    tela.dataFim = fim->date();
    tela.arquivo = arquivo->text();
    tela.maximo = maximo->text();
    return tela;
}

void PaginaBusca::Terminar(QTableView *grade, QLabel *total, std::exception_ptr erro) {
    m_espera.FinalizarEspera();
    const int linhas = grade->model()->rowCount();
    if (linhas > 0)
        grade->setCurrentIndex(grade->model()->index(0, 0));
    m_cortada = m_cortada && !erro;
    MostrarTotal(total, linhas);
    if (erro)
        m_messages.generalError(ThreadBusca::Mensagem(erro));
}

void PaginaBusca::MostrarTotal(QLabel *total, int linhas) {
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    total->setText(m_cortada && linhas < m_registros
                       ? QStringLiteral("%1 de %2").arg(brasil.toString(linhas), brasil.toString(m_registros))
                       : QString::number(linhas));
    total->adjustSize();
}

void PaginaBusca::PrepararGrade(QTableView *grade, int colunaData) {
    // The widest a date and time gets in the user's form, with the cell's margins.
    const QString amostra = Campos::ExibirData(QDateTime(QDate(2000, 12, 28), QTime(20, 58, 58)));
    grade->setColumnWidth(colunaData, grade->fontMetrics().horizontalAdvance(amostra) + 16);
    // No column is sorted until the user clicks one: the rows stand in the service's order.
    QHeaderView *titulos = grade->horizontalHeader();
    titulos->setSortIndicator(-1, Qt::AscendingOrder);
    titulos->setSortIndicatorShown(true);
    grade->setSortingEnabled(true);
    // After the view's own sort: the current row stays in sight wherever it went.
    QObject::connect(titulos, &QHeaderView::sortIndicatorChanged, grade,
                     [grade] { grade->scrollTo(grade->currentIndex()); });
}

void PaginaBusca::Montar(QWidget *filtros, QWidget *resultados, QToolBar *barra, QWidget *corpo,
                         QWidget *total, const std::function<void()> &procurar) {
    auto *enter = new EnterProcura(procurar, this);
    for (QWidget *caixa : filtros->findChildren<QWidget *>())
        if (qobject_cast<QLineEdit *>(caixa) || qobject_cast<QComboBox *>(caixa))
            caixa->installEventFilter(enter);

    auto *colunaResultados = new QVBoxLayout(resultados);
    colunaResultados->setContentsMargins(0, 0, 0, 0);
    colunaResultados->setSpacing(0);
    colunaResultados->addWidget(barra);
    colunaResultados->addWidget(corpo, 1);
    colunaResultados->addWidget(total);

    auto *pagina = new QVBoxLayout(this);
    pagina->setContentsMargins(0, 0, 0, 0);
    pagina->setSpacing(0);
    pagina->addWidget(filtros);
    pagina->addWidget(resultados, 1);
}
