#include "catalog/PaginaBusca.h"

#include "service/Enderecos.h"
#include "service/Sessao.h"
#include "widgets/DateEdit.h"
#include "base/Espera.h"
#include "base/Messages.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

PaginaBusca::PaginaBusca(Sessao &sessao, Messages &messages, Espera &espera, QWidget *parent)
    : QWidget(parent), m_sessao(sessao), m_messages(messages), m_espera(espera) {}

bool PaginaBusca::MaximoAceito(QLineEdit *caixa) {
    if (LerMaximo(caixa->text()) <= MaximoRegistros)
        return true;
    caixa->setText(QString::number(MaximoRegistros));
    m_messages.warning(QStringLiteral("A quantidade máxima de registros não pode ser superior a 500."));
    return false;
}

bool PaginaBusca::Contar(const CamposRequisicao &campos, const TextosBusca &textos) {
    const int registros =
        ContarRegistros(m_sessao.conexao(), m_messages, URLBase() + textos.caminho, campos, textos.contagem);
    if (registros <= 0)
        return false;
    m_espera.IniciarEspera(registros, textos.aguarde);
    return true;
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

void PaginaBusca::Terminar(QTableView *grade, QLabel *total, const QString &falha) {
    m_espera.FinalizarEspera();
    const int linhas = grade->model()->rowCount();
    if (linhas > 0)
        grade->setCurrentIndex(grade->model()->index(0, 0));
    total->setText(QString::number(linhas));
    total->adjustSize();
    if (!falha.isEmpty())
        m_messages.generalError(falha);
}

void PaginaBusca::Montar(QWidget *filtros, QWidget *resultados, QToolBar *barra, QWidget *corpo,
                         QWidget *total) {
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
