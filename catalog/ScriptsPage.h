#pragma once

#include "catalog/PaginaBusca.h"
#include "catalog/ReleituraScripts.h"
#include "catalog/TabelaPesquisa.h"
#include "catalog/ThreadPesquisa.h"
#include "service/Protocolo.h"

class QPlainTextEdit;
class QSplitter;
class QToolButton;

// Page "Scripts" of the main window: searches the scripts stored on the web service, lists them
// in cdsPesquisa, and opens one in the editor window or deletes it. Its editor windows are
// linked to their scripts by code, not to rows, so that whatever the table goes through a save
// reaches the rows of its script; a save or a delete cancelled after its request left is read
// back from the service, and the rows and the editors follow what it stores.
class ScriptsPage : public PaginaBusca {
    Q_OBJECT
public:
    ScriptsPage(Sessao &sessao, Messages &messages, Espera &espera, const QString &iniPath,
                QWidget *parent = nullptr);

    // The filters kept in the settings file.
    DateEdit *edEditarDataInicio() const { return m_edEditarDataInicio; }
    DateEdit *edEditarDataFim() const { return m_edEditarDataFim; }
    QLineEdit *edEditarMaximo() const { return m_edEditarMaximo; }

    TabelaPesquisa &cdsPesquisa() { return m_cdsPesquisa; }

    void btEditarPesquisaClick();
    void btEditarRegistroClick();
    void btExcluirRegistroClick();
    CamposRequisicao MontarParametrosPesquisa() const;
    void FimPesquisa(std::exception_ptr erro);

private:
    int LinhaAtual() const;
    void MostrarScript();
    void FimExclusao(int codigo, const QPersistentModelIndex &linha, const Protocolo::Resposta &resposta,
                     std::exception_ptr erro);
    void Relido(int codigo, const std::optional<QByteArray> &texto);

    TabelaPesquisa m_cdsPesquisa;
    ThreadPesquisa m_threadPesquisa;
    ThreadBusca m_threadExcluir;
    ReleituraScripts m_releitura;

    QWidget *Panel2;
    QLabel *Label11;
    QComboBox *cbEditarSistema;
    QLineEdit *edEditarCodigo;
    DateEdit *m_edEditarDataInicio;
    DateEdit *m_edEditarDataFim;
    QLineEdit *edEditarArquivo;
    QLineEdit *m_edEditarMaximo;
    QWidget *Panel3;
    QToolBar *ToolBar2;
    QToolButton *btEditarPesquisa;
    QToolButton *btEditarRegistro;
    QToolButton *btExcluirRegistro;
    QSplitter *Splitter2;
    QTableView *dbgPesquisa;
    QPlainTextEdit *DBMemo2;
    QWidget *panelEditarTotal;
    QLabel *lblEditarTotalRegistros;
};
