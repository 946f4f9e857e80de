#pragma once

#include <Qsci/qsciscintilla.h>

#include "editor/IrParaLinhaDialog.h"
#include "editor/LocalizarDialog.h"

#include <QList>
#include <QPointer>

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

    // The numbers shown in the gutter, one per line of the editor (1-based; 0 for a line that is
    // no line of the script, such as a filler in a comparison). Empty: the editor's own numbering.
    void setNumerosLinha(const QList<int> &numeros);
    // The editor line that shows script line `numero` (1-based), or -1.
    int LinhaDoNumero(int numero) const;
    // The script line number shown on the editor line, or 0 for a filler.
    int NumeroDaLinha(int linha) const;

    LocalizarDialog *dialogoLocalizar() const { return m_localizar; }
    IrParaLinhaDialog *dialogoIrParaLinha() const { return m_irPara; }

private:
    void ajustarMargem();
    void abrirLocalizar(bool substituir);

    QList<int> m_numeros;
    QPointer<LocalizarDialog> m_localizar;
    QPointer<IrParaLinhaDialog> m_irPara;
};
