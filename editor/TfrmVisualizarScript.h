#pragma once

#include "base/EsperaAdiada.h"
#include "service/Protocolo.h"
#include "service/TextFile.h"

#include <QPersistentModelIndex>
#include <QString>
#include <QWidget>

#include <exception>

class ComparacaoEditores;
class QAction;
class Messages;
class QLabel;
class QPushButton;
class SalvarServidorTarefa;
class QSplitter;
class QToolBar;
class QToolButton;
class Sessao;
class SqlEditor;

// The script editor and comparison window. Callers set the properties in this order and show
// it (maximised, modeless):
//   local edit:  setCodigo(path), setScript(text), setLocal(true), setComparar(false), setLinha(...)
//   server edit: setCodigo(code), setScript(text), setComparar(false), setLinha(...)
//   comparison:  setCodigo(code), setScript(after), setScriptAnterior(before), setComparar(true)
// Every window is independent and deletes itself when closed.
class TfrmVisualizarScript : public QWidget {
    Q_OBJECT
public:
    TfrmVisualizarScript(Sessao &sessao, Messages &messages, QWidget *parent = nullptr);

    // Server edit and comparison: the script's code in decimal; local edit: the file's full path.
    QString Codigo() const { return FCodigo; }
    void setCodigo(const QString &valor);

    QString Script() const { return FScript; }
    void setScript(const QString &valor);

    bool Comparar() const { return FComparar; }
    void setComparar(bool valor);

    QString ScriptAnterior() const { return FScriptAnterior; }
    void setScriptAnterior(const QString &valor);

    bool Local() const { return FLocal; }
    void setLocal(bool valor);

    // The SCRIPT cell of the row the window was opened from (a queue row in local edit, a
    // search row in server edit). Saving writes the Windows-1252 text there with
    // setData(Qt::EditRole); once the row is removed the index is invalid and only the file
    // or the service is written.
    QPersistentModelIndex Linha() const { return FLinha; }
    void setLinha(const QPersistentModelIndex &celulaScript) { FLinha = celulaScript; }

    // Local edit: how the file was read, so that a save writes it back in its encoding and line
    // ends and asks before replacing a file changed outside the program since. Without it a save
    // writes Windows-1252 with CR LF and compares nothing.
    void setArquivoLido(const TextFile::Formato &formato, const TextFile::Carimbo &carimbo) {
        FFormato = formato;
        FCarimbo = carimbo;
    }

    // Shows the window maximised.
    void Exibir();

    void btSalvarClick();

    // Server edit: what the service stores for the script, read back after a save whose outcome
    // was not known. "Salvar" is enabled exactly when the text differs from it.
    void ConferirArmazenado(const QByteArray &armazenado);

    // True while "Salvar" is enabled or a server save is on its way: the text holds edits that
    // were not stored.
    bool TemAlteracoes() const;
    // The edits are to be dropped: closing the window no longer asks.
    void DescartarAlteracoes() { FDescartar = true; }

signals:
    // Server edit: the service stored `script` (Windows-1252) for `codigo`.
    void salvoNoServidor(int codigo, const QByteArray &script);
    // Server edit: a save was stopped after its request had left, so the service may have
    // stored it; only a read-back of `codigo` tells.
    void salvamentoIncerto(int codigo);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void editorChange();
    void AtualizarTitulo();
    void AtualizarComparacao();
    void AtualizarNavegacao();
    void SalvarLocal();
    void SalvarServidor();
    void FimSalvarServidor(const Protocolo::Resposta &resposta, std::exception_ptr erro);
    void AtualizarLinha(const QByteArray &script);

    Sessao &m_sessao;
    Messages &m_messages;

    QString FCodigo;
    QString FScript;
    bool FComparar = false;
    QString FScriptAnterior;
    bool FLocal = false;
    QPersistentModelIndex FLinha;
    TextFile::Formato FFormato;
    TextFile::Carimbo FCarimbo;
    bool FDescartar = false;
    QByteArray FScriptEnviado; // the Windows-1252 text of the save on its way
    SalvarServidorTarefa *FTarefaSalvar;
    // The wait bar of a server save, shown only when the save lasts.
    EsperaAdiada FEsperaSalvar{[this] { pnlEspera->show(); }, [this] { pnlEspera->hide(); }};

    QToolBar *ToolBar1;
    QToolButton *btSalvar;
    QToolButton *ToolButton2;
    QToolButton *btDiferencaAnterior;
    QToolButton *btProximaDiferenca;
    QLabel *lblDiferencas;
    QList<QAction *> FAcoesComparacao;
    ComparacaoEditores *FComparacao;
    QWidget *pnlEspera;
    QPushButton *btCancelar;
    QSplitter *splComparar;
    QWidget *panelAnterior;
    QLabel *Label2;
    SqlEditor *EditorAnterior;
    QWidget *panelAtual;
    QLabel *lblAtual;
    SqlEditor *editor;
};
