#pragma once

#include "base/Cancelamento.h"
#include "validation/ResultLineQueue.h"
#include "validation/ScriptRunner.h"
#include "validation/ValidationSettings.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QThread;
class QToolBar;
class QToolButton;
class QsciScintilla;
class SenhaGuardada;

// The validation window: a script editor, the database to run it against, and the result box.
// Modeless; each window has its own connection, kept attached between runs. Closing it only
// hides it (the owner destroys it). Passing a parent keeps it a separate top-level window that
// is destroyed with the parent.
//
// A run works on a worker thread, so the database never holds up the interface: the result lines
// arrive in batches, the window's own fields wait for the end of the run, and "Cancelar" stops it
// after the statement in progress, rolling back. A failing statement's "Linha N: " line leads to
// its line in the editor on a double click; the editor's margin marks every failing line.
class TfrmValidarScript : public QWidget {
    Q_OBJECT
public:
    // `iniPath`: the full path of "parametros.ini"; section "validacao" is read here.
    explicit TfrmValidarScript(const QString &iniPath, QWidget *parent = nullptr);
    ~TfrmValidarScript() override;

    // Replaces the editor's text by the file's; a missing file is silently ignored.
    void LoadFile(const QString &fileName);
    bool executando() const { return m_execucao != nullptr; }

public slots:
    // Starts a run and returns at once; execucaoConcluida() tells its end.
    void btExecutarClick();
    void btAbrirClick();
    void ToolButton2Click();
    void btCancelarClick();

signals:
    void execucaoConcluida();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void createControls();
    void habilitarEdicao(bool habilitar);
    void entregarResultado();
    void fimExecucao();
    // Moves the editor to `linha` (from 1), selects it and points the margin at it.
    void irParaLinha(int linha);
    // A line about the windows themselves (the keyring), each said once in the program's life.
    void avisar(const QString &texto);

    QsciScintilla *edtScript = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QToolButton *btExecutar = nullptr;
    QAction *ToolButton3 = nullptr;
    QToolButton *ToolButton2 = nullptr;
    QLabel *Label1 = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *edtBanco = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *edtSenha = nullptr;
    // Runs on a disposable copy of the database instead (ScriptTrial).
    QCheckBox *ckEnsaio = nullptr;
    QFrame *Panel2 = nullptr;
    QLabel *Label5 = nullptr;
    QPlainTextEdit *memResultado = nullptr;
    QToolButton *btAbrir = nullptr;
    QToolButton *btCancelar = nullptr;
    QFileDialog *Abrir = nullptr;
    // The connection, transaction and script engine of this window, and FLastError. Shared with
    // the run's worker, which may outlive the window (see the destructor).
    std::shared_ptr<ScriptRunner> Scripts;

    ValidationSettings m_settings;
    SenhaGuardada *m_senhaGuardada;
    // What the run in progress attached with, remembered when the run ends.
    std::shared_ptr<std::optional<ValidationSettings::Values>> m_anexado;
    // The run in progress, its stop flag and the lines it has not yet handed over.
    std::unique_ptr<QThread> m_execucao;
    std::shared_ptr<Cancelamento> m_cancelamento;
    std::shared_ptr<ResultLineQueue> m_pendentes = std::make_shared<ResultLineQueue>();
    QTimer m_entrega;
    int m_linhasResultado = 0; // lines in memResultado
    int m_marcadorErro = -1;   // editor margin markers
    int m_marcadorAtual = -1;
};
