#pragma once

#include "diff/TextComparison.h"

#include <QObject>

class SqlEditor;

// Two editors showing two texts side by side as a diff viewer does: the lines of each side
// aligned with an empty filler line opposite a line the other side lacks, removed and changed
// lines coloured on the left, added and changed lines on the right, the differing words inside
// changed lines marked, and the two editors scrolling together line by line. The editors show
// the aligned texts and number the script lines in their gutters, fillers unnumbered.
class ComparacaoEditores : public QObject {
    Q_OBJECT
public:
    ComparacaoEditores(SqlEditor &esquerda, SqlEditor &direita, QObject *parent = nullptr);

    void Comparar(const QString &antes, const QString &depois);

    int Diferencas() const { return int(m_comparacao.diferencas().size()); }
    // Moves both editors to the next (previous) difference after (before) the current line; false
    // when there is none.
    bool Proxima();
    bool Anterior();
    bool TemProxima() const;
    bool TemAnterior() const;
    // The editor line where the user's cursor last stood, in either editor.
    int LinhaAtual() const { return m_linhaAtual; }

signals:
    void posicaoMudou();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sincronizar(SqlEditor &origem, SqlEditor &destino);
    void marcar(SqlEditor &editor, const QStringList &linhas, bool esquerda);
    void irPara(int linha);
    // Both editors scrolled sideways from their left edge only as far as a cursor in sight needs.
    void mostrarCursores();

    SqlEditor &m_esquerda;
    SqlEditor &m_direita;
    TextComparison m_comparacao;
    int m_linhaAtual = 0;
    // Where both editors were last scrolled to, together.
    int m_primeira = 0;
    long m_deslocamentoX = 0;
    bool m_sincronizando = false;
    // Compared before the editors were shown: placed again once they have their size.
    bool m_irAoMostrar = false;
};
