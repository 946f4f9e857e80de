#pragma once

#include <Qsci/qsciscintilla.h>

#include "editor/IrParaLinhaDialog.h"
#include "editor/LocalizarDialog.h"

#include <QPointer>

class QColor;

// The one SQL editor of the program: Courier New 10 point, SQL colouring and a gutter with
// line numbers. Every window that shows a script uses it, and gets with it the keys people
// expect of an editor: Ctrl+F finds (F3 / Shift+F3 again), Ctrl+H replaces, Ctrl+G goes to a
// line. A read-only editor finds and goes to lines but offers no replacing.
class SqlEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit SqlEditor(QWidget *parent = nullptr);

    void Localizar();
    void Substituir();
    void IrParaLinha();
    // F3 / Shift+F3: the text of the find box again, forwards or backwards; the box itself when
    // nothing was looked for yet.
    void LocalizarSeguinte();
    void LocalizarAnterior();

    // Finds `texto` after (or before) the selection, going round the end of the text; selects and
    // shows it. False when the text holds no match.
    bool LocalizarProxima(const QString &texto, bool maiusculas, bool paraFrente = true);
    // Replaces the selection when it is a match, then finds the next one.
    bool SubstituirAtual(const QString &texto, const QString &novo, bool maiusculas);
    // Every match at once, as one undo step; returns how many were replaced.
    int SubstituirTodos(const QString &texto, const QString &novo, bool maiusculas);

    // Blank rows drawn above the first line, outside the text, in colour `cor`: a comparison pane
    // whose text starts later than the other's (Scintilla draws its gap lines only below a line).
    void setLinhasVaziasAcima(int linhas, const QColor &cor);
    int LinhasVaziasAcima() const { return m_vaziasAcima; }

    LocalizarDialog *dialogoLocalizar() const { return m_localizar; }
    IrParaLinhaDialog *dialogoIrParaLinha() const { return m_irPara; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void ajustarMargem();
    void abrirLocalizar(bool substituir);
    void posicionarFaixaVazia();

    int m_vaziasAcima = 0;
    QWidget *m_faixaVazia = nullptr;
    QPointer<LocalizarDialog> m_localizar;
    QPointer<IrParaLinhaDialog> m_irPara;
};
