#pragma once

#include "validation/ScriptRunner.h"
#include "validation/ValidationSettings.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolBar;
class QToolButton;
class QsciScintilla;

// The validation window: a script editor, the database to run it against, and the result box.
// Modeless; each window has its own connection, kept attached between runs. Closing it only
// hides it (the owner destroys it). Passing a parent keeps it a separate top-level window that
// is destroyed with the parent.
class TfrmValidarScript : public QWidget {
    Q_OBJECT
public:
    // `iniPath`: the full path of "parametros.ini"; section "validacao" is read here.
    explicit TfrmValidarScript(const QString &iniPath, QWidget *parent = nullptr);
    ~TfrmValidarScript() override;

    // Replaces the editor's text by the file's; a missing file is silently ignored.
    void LoadFile(const QString &fileName);

public slots:
    void btExecutarClick();
    void btAbrirClick();
    void ToolButton2Click();

private:
    void FormCreate();
    void createControls();
    // Runs `job` on a worker while this thread keeps painting; input waits until it is done.
    void runWithInputBlocked(const std::function<void()> &job);

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
    QFrame *Panel2 = nullptr;
    QLabel *Label5 = nullptr;
    QPlainTextEdit *memResultado = nullptr;
    QToolButton *btAbrir = nullptr;
    QFileDialog *Abrir = nullptr;
    // The connection, transaction and script engine of this window, and FLastError.
    std::unique_ptr<ScriptRunner> Scripts;

    ValidationSettings m_settings;
};
