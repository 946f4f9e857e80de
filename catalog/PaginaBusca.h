#pragma once

#include "catalog/ContarRegistros.h"
#include "catalog/MontarParametros.h"
#include "catalog/ThreadBusca.h"
#include "widgets/ElementosPagina.h"

#include <QWidget>

#include <functional>

class DateEdit;
class Espera;
class Messages;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QToolBar;
class Sessao;

// What pages "Scripts" and "Log" share: the session and the main window's seams, the steps of a
// search around each page's own table and worker, and the page's frame. Each page keeps its own
// named handlers and calls these.
class PaginaBusca : public QWidget {
protected:
    PaginaBusca(Sessao &sessao, Messages &messages, Espera &espera, QWidget *parent);

    struct TextosBusca {
        QString caminho; // the search's path after URLBase()
        TextosContagem contagem;
        QString aguarde; // the busy mode's message
    };

    // A search click: ignored while a run is in progress, stopped when "Máximo" is above the
    // limit; otherwise the table is emptied, the records counted and, when there are any, busy
    // mode starts and the worker fetches them with `fim` as its end-of-run handler.
    template <class Thread, class Tabela>
    void Pesquisar(Thread &thread, Tabela &tabela, QLineEdit *maximo,
                   const std::function<CamposRequisicao()> &montarParametros, const TextosBusca &textos,
                   ThreadBusca::Fim fim) {
        if (thread.Executando() || !MaximoAceito(maximo))
            return;
        tabela.Esvaziar();
        const CamposRequisicao campos = montarParametros();
        if (Contar(campos, textos))
            thread.Iniciar(campos, std::move(fim));
    }

    // The filter boxes as the user left them; `usuario` only on page "Log".
    static FiltroTela Filtros(const QComboBox *sistema, const QLineEdit *codigo, const DateEdit *inicio,
                              const DateEdit *fim, const QLineEdit *arquivo, const QLineEdit *maximo,
                              const QLineEdit *usuario = nullptr);

    // The end of a fetch, normal or failed: busy mode ends, the first row is current and the label
    // shows the rows received; a failure is reported after that.
    void Terminar(QTableView *grade, QLabel *total, const QString &falha);

    // The filters on top; under them the tool bar, the results and the total bar on `resultados`.
    void Montar(QWidget *filtros, QWidget *resultados, QToolBar *barra, QWidget *corpo, QWidget *total);

    Sessao &m_sessao;
    Messages &m_messages;
    Espera &m_espera;

private:
    // Counts the records; when there are any, enters busy mode for them and returns true.
    // The limit of "Máximo": above MaximoRegistros the box is set to it and the warning shown.
    bool MaximoAceito(QLineEdit *caixa);
    bool Contar(const CamposRequisicao &campos, const TextosBusca &textos);
};
