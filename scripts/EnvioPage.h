#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class ArquivosGrid;
class Cancelamento;
class ControleEnsaio;
class DateEdit;
class Espera;
class FilaArquivosModel;
class FolderEdit;
class Messages;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSplitter;
class QToolBar;
class QToolButton;
class Sessao;
class SenhaGuardada;
class ThreadEnvio;
class VerificacaoServico;

// Page "Envio": the folder search that fills the upload queue, the queue itself with its grid
// and memo, and the upload run. "Procurar" and "Enviar" never run together: "Enviar" is
// disabled while a search runs, and busy mode covers the page while an upload runs.
// Before "Editar", "Validar" and "Enviar" the files concerned are compared with what their rows
// hold: a changed file is read again (the user is told which); vanished ones stop "Editar", and
// "Validar" and "Enviar" offer to take their rows out of the queue and go on.
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
    // "Ensaiar antes de enviar".
    QCheckBox *chkEnsaiarAntes() const { return m_chkEnsaiarAntes; }

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
    // A trial of the whole queue, in order, on a disposable copy of the validation's database.
    void btEnsaiarClick();
    bool ensaiando() const;
    // Opens the comparison of the current row's file with the newest stored script of its name,
    // when column "No serviço" says "Alterado".
    void btCompararClick();
    // True while the status lookup of column "No serviço" runs.
    bool consultandoServico() const;

    bool enviando() const { return m_enviando; }
    // Stops the upload run after its request in progress, without the end-of-run message:
    // for the main window closing. `envioTerminado` follows when the run has ended.
    void InterromperEnvio();

signals:
    // The run has ended; its report follows.
    void envioConcluido();
    void envioTerminado();

private:
    void criarFiltros(QWidget *panelFiltros);
    // "Enviar"; also where it goes on after the status lookup, `semEstado` when the lookup
    // failed and the rows not known are to be sent without it.
    void enviar(bool semEstado);
    void FimEnvio(int enviados, const QString &erro);
    void mostrarScriptAtual();
    void atualizarTotal();
    // Reads changed files of `rows` again and tells the user; false when the action must stop.
    // With `retirarAusentes` the user may take the rows of vanished files out of the queue and
    // go on (`rows` then no longer match the queue); without it a vanished file stops the action.
    bool verificarArquivos(const QList<int> &rows, bool retirarAusentes);
    // The rows "Enviar" sends: after a run that did not send everything, the user may choose
    // the rows not sent yet, the whole queue again, or nothing (an empty list).
    QList<int> linhasAEnviar();
    // Asks before sending characters that will arrive as "?"; true to go on.
    bool aceitarNaoSuportados(const QList<int> &rows);
    // Asks before sending `rows` when the trial is stale or some of them failed it; true to go on.
    bool aceitarEnsaio(const QList<int> &rows);
    // Starts the trial with the validation's database and its remembered password, asking for
    // what is missing; `enviarDepois`: Enviar goes on when every script passed.
    void ensaiar(bool enviarDepois);
    // Asks for the database (prefilled with `banco`) and its password, then starts the trial.
    void pedirBanco(const QString &banco);
    // `lembrar`: the password was typed, and is remembered once the trial has attached with it.
    void iniciarEnsaio(const QString &banco, const QString &senha, bool lembrar);
    void fimEnsaio(bool completo, int falhas, const QString &erro);

    Sessao &m_sessao;
    Messages &m_messages;
    Espera &m_espera;
    QString m_iniPath;

    bool FCancelar = false; // searching
    QString FTipoArq;       // the mask of the running search
    FilaArquivosModel *m_cdsArqs;
    QPointer<ThreadEnvio> m_threadEnvio;
    std::shared_ptr<Cancelamento> m_pararEnvio; // the running upload's stop request
    bool m_envioSilencioso = false;             // stopped for closing: no end-of-run message
    bool m_enviando = false;                    // from the start of a run to its end-of-run call
    QByteArray m_scriptMostrado;                // what the memo shows
    VerificacaoServico *m_verificacao;
    bool m_enviarAposVerificar = false; // "Enviar" waits for the status lookup
    ControleEnsaio *m_ensaio;
    SenhaGuardada *m_senhaGuardada;
    QString m_bancoPedido;            // the database whose remembered password is awaited
    bool m_enviarAposEnsaio = false;  // "Enviar" waits for the trial
    bool m_ensaiadoParaEnvio = false; // the trial of this "Enviar" passed
    bool m_lembrarSenha = false;      // the running trial's password was typed in the dialog
    QString m_senhaEnsaio;

    FolderEdit *m_deDir;
    QComboBox *cbSistema;
    DateEdit *m_deData;
    QLineEdit *m_edTipoArq;
    QCheckBox *m_chkEnsaiarAntes;
    QToolBar *ToolBar1;
    QToolButton *btProcurar;
    QToolButton *btParar;
    QToolButton *btRemover;
    QToolButton *btLimpar;
    QToolButton *ToolButton1;
    QToolButton *btEnviar;
    QToolButton *btValidar;
    QToolButton *btComparar;
    QToolButton *btEnsaiar;
    QSplitter *Splitter1;
    ArquivosGrid *dbgArquivos;
    QPlainTextEdit *DBMemo1;
    QLabel *lblEnviarTotalRegistros;
};
