#pragma once

#include "catalog/PaginaBusca.h"
#include "catalog/TabelaLog.h"
#include "catalog/ThreadLog.h"

class QPlainTextEdit;
class QSplitter;
class QToolButton;

// Page "Log" of the main window: searches the web service's change log, lists the entries in
// cdsLog with the texts before and after each change, and opens one side by side.
class LogPage : public PaginaBusca {
    Q_OBJECT
public:
    LogPage(Sessao &sessao, Messages &messages, Espera &espera, const QString &iniPath,
            QWidget *parent = nullptr);

    // The filters kept in the settings file.
    DateEdit *edLogDataInicio() const { return m_edLogDataInicio; }
    DateEdit *edLogDataFim() const { return m_edLogDataFim; }
    QLineEdit *edLogMaximo() const { return m_edLogMaximo; }

    TabelaLog &cdsLog() { return m_cdsLog; }

    void btLogPesquisarClick();
    void btLogCompararClick();
    CamposRequisicao MontarParametrosLog() const;
    void FimPesquisaLog(std::exception_ptr erro);
    // The height of the view of the text before the change, under its caption.
    static constexpr int AlturaAnterior = 50;

private:
    void MostrarScripts();

    TabelaLog m_cdsLog;
    ThreadLog m_threadLog;

    QWidget *Panel4;
    QLabel *Label16;
    QComboBox *cbLogSistema;
    QLineEdit *edLogCodigo;
    DateEdit *m_edLogDataInicio;
    DateEdit *m_edLogDataFim;
    QLineEdit *edLogArquivo;
    QLineEdit *edLogUsuario;
    QLineEdit *m_edLogMaximo;
    QWidget *Panel5;
    QToolBar *ToolBar3;
    QToolButton *btLogPesquisar;
    QToolButton *btLogComparar;
    QSplitter *Splitter3;
    QTableView *dbgLog;
    QWidget *Panel8;
    QSplitter *Splitter4;
    QPlainTextEdit *DBMemo3;
    QPlainTextEdit *DBMemo4;
    QWidget *Panel7;
    QLabel *lblLogTotalRegistros;
};
