#pragma once

#include "base/Espera.h"
#include "base/EsperaAdiada.h"
#include "catalog/BloqueioEntrada.h"
#include "catalog/MontarParametros.h"
#include "catalog/RelatarContagem.h"
#include "catalog/ThreadBusca.h"
#include "service/Enderecos.h"
#include "widgets/ElementosPagina.h"

#include <QList>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QTableView>
#include <QWidget>

#include <functional>
#include <memory>

class DateEdit;
class Messages;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolBar;
class Sessao;

// What pages "Scripts" and "Log" share: the session and the main window's seams, the steps of a
// search around each page's own table and worker, the waits for the service and the page's frame.
// Each page keeps its own named handlers and calls these.
//
// No request waits on the interface thread: a page's requests run on a worker, and a wait that
// lasts shows busy mode with "Cancelar". A cancelled action leaves the page as it was before.
class PaginaBusca : public QWidget {
public:
    // Whether an action of the page waits for the service; the page takes no other meanwhile.
    bool Ocupada() const { return m_ocupada; }

protected:
    PaginaBusca(Sessao &sessao, Messages &messages, Espera &espera, QWidget *parent);

    struct TextosBusca {
        QString caminho; // the search's path after URLBase()
        TextosContagem contagem;
        QString aguarde; // the busy mode's message
    };

    // A search click: ignored while the page waits for the service, stopped when "Máximo" is
    // above the limit; otherwise the table is emptied and the worker counts the records and, when
    // there are any, enters busy mode for them (at most "Máximo") and fetches them.
    // `fim` is the page's end of a fetch (which calls Terminar).
    template <class Thread, class Tabela>
    void Pesquisar(Thread &thread, Tabela &tabela, QTableView *grade, QLineEdit *maximo,
                   const CamposRequisicao &campos, const TextosBusca &textos,
                   std::function<void(std::exception_ptr erro)> fim) {
        if (Ocupada() || !MaximoAceito(maximo))
            return;
        const int teto = Teto(maximo);
        const Vista antes = NovaBusca(grade);
        auto anteriores = std::make_shared<decltype(tabela.Retirar())>(tabela.Retirar());
        const bool iniciou = thread.Iniciar(
            URLBase() + textos.caminho, campos,
            [this, teto, aguarde = textos.aguarde](int registros) { Contados(registros, teto, aguarde); },
            [this, &tabela, grade, anteriores, antes, contagem = textos.contagem,
             fim = std::move(fim)](const auto &resultado) {
                Desocupar();
                if (Cancelado(resultado.erro)) {
                    if (resultado.buscou)
                        m_espera.FinalizarEspera();
                    tabela.Repor(std::move(*anteriores));
                    Reposicionar(grade, antes);
                } else if (resultado.buscou) {
                    fim(resultado.erro);
                } else {
                    RelatarContagem(m_messages, resultado.erro,
                                    resultado.contou ? &resultado.contagem : nullptr, contagem);
                }
            });
        if (iniciou)
            Ocupar(textos.aguarde, thread.cancelamento());
    }

    // The end of a fetch, normal or failed: busy mode ends, the first row is current and the label
    // shows the rows received; a failure is reported after that.
    void Terminar(QTableView *grade, QLabel *total, std::exception_ptr erro);

    // An action waits for the service from now on: after a moment busy mode shows `mensagem`
    // with "Cancelar", which sets `cancelamento`. Desocupar ends the wait (and that busy mode).
    void Ocupar(const QString &mensagem, Cancelamento *cancelamento);
    void Desocupar();
    // Whether an action ended because the user pressed "Cancelar".
    static bool Cancelado(std::exception_ptr erro);

    // The filter boxes as the user left them; `usuario` only on page "Log".
    static FiltroTela Filtros(const QComboBox *sistema, const QLineEdit *codigo, const DateEdit *inicio,
                              const DateEdit *fim, const QLineEdit *arquivo, const QLineEdit *maximo,
                              const QLineEdit *usuario = nullptr);

    // The results' count after rows left the table: "n", or "n de m" while a limit keeps
    // records of the last search out of it.
    void MostrarTotal(QLabel *total, int linhas);
    // A row removed from the results: the service holds one record fewer too.
    void RegistroRemovido() { --m_registros; }

    // The grid of a search page: a click on a column title sorts by it; the date column shows the
    // whole date and time.
    static void PrepararGrade(QTableView *grade, int colunaData);
    // The filters on top; under them the tool bar, the results and the total bar on `resultados`.
    // Enter in a filter box acts as a click on `procurar`.
    void Montar(QWidget *filtros, QWidget *resultados, QToolBar *barra, QWidget *corpo, QWidget *total,
                const std::function<void()> &procurar);

    Sessao &m_sessao;
    Messages &m_messages;
    Espera &m_espera;

private:
    // The limit of "Máximo": above MaximoRegistros the box is set to it and the warning shown.
    bool MaximoAceito(QLineEdit *caixa);
    // The most records a search takes in: "Máximo", or the limit when it is 0 or empty.
    static int Teto(const QLineEdit *maximo);
    // How the page showed the results, to show them so again when a search is cancelled.
    struct Vista {
        int linha;
        int coluna; // the sorted column, -1 for the service's order
        Qt::SortOrder ordem;
        int registros;
        bool cortada;
        QPoint rolagem; // the grid's scroll bars' positions
    };
    // A new search: the service's order again, and the grid scrolled to its left edge.
    Vista NovaBusca(QTableView *grade);
    void Reposicionar(QTableView *grade, const Vista &vista);
    // The count found records: busy mode for as many as will be fetched.
    void Contados(int registros, int teto, const QString &aguarde);
    EsperaAdiada m_adiada;
    std::unique_ptr<BloqueioEntrada> m_bloqueio; // until busy mode's overlay shows
    bool m_ocupada = false;
    QString m_mensagem;
    Cancelamento *m_cancelamento = nullptr;
    int m_registros = 0;    // the service's count of the last search that fetched
    bool m_cortada = false; // "Máximo" kept records of it out of the table
};
