#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class ArquivosGrid;
class DateEdit;
class Espera;
class FilaArquivosModel;
class FolderEdit;
class Messages;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSplitter;
class QToolBar;
class QToolButton;
class Sessao;
class ThreadEnvio;

// Page "Envio": the folder search that fills the upload queue, the queue itself with its grid
// and memo, and the upload run. "Procurar" and "Enviar" never run together: "Enviar" is
// disabled while a search runs, and busy mode covers the page while an upload runs.
class EnvioPage : public QWidget {
    Q_OBJECT
public:
    EnvioPage(Sessao &sessao, Messages &messages, Espera &espera, const QString &iniPath,
              QWidget *parent = nullptr);
    ~EnvioPage() override;

    // The filter fields the main window keeps in the settings file.
    FolderEdit *deDir() const { return m_deDir; }
    DateEdit *deData() const { return m_deData; }
    QLineEdit *edTipoArq() const { return m_edTipoArq; }

    FilaArquivosModel &cdsArqs() const { return *m_cdsArqs; }

    void SetPesquisando(bool valor);
    bool pesquisando() const { return FCancelar; }

    void btProcurarClick();
    void btPararClick();
    void btRemoverClick();
    void btLimparClick();
    void ToolButton1Click();
    void btEnviarClick();
    void btValidarClick();

private:
    void criarFiltros(QWidget *panelFiltros);
    void FimEnvio(bool sucesso, const QString &mensagem);
    void mostrarScriptAtual();

    Sessao &m_sessao;
    Messages &m_messages;
    Espera &m_espera;
    QString m_iniPath;

    bool FCancelar = false; // searching
    QString FTipoArq;       // the mask of the running search
    FilaArquivosModel *m_cdsArqs;
    QPointer<ThreadEnvio> m_threadEnvio;

    FolderEdit *m_deDir;
    QComboBox *cbSistema;
    DateEdit *m_deData;
    QLineEdit *m_edTipoArq;
    QToolBar *ToolBar1;
    QToolButton *btProcurar;
    QToolButton *btParar;
    QToolButton *btRemover;
    QToolButton *btLimpar;
    QToolButton *ToolButton1;
    QToolButton *btEnviar;
    QToolButton *btValidar;
    QSplitter *Splitter1;
    ArquivosGrid *dbgArquivos;
    QPlainTextEdit *DBMemo1;
    QLabel *lblEnviarTotalRegistros;
};
