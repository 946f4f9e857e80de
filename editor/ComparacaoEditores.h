#pragma once

#include "diff/TextComparison.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QWheelEvent;
class SqlEditor;

// Two editors showing two texts side by side as a diff viewer does, each text exactly as given:
// the lines of the two sides aligned by gap rows drawn between the lines (not put into the text)
// opposite a line the other side lacks, removed and changed lines coloured on the left, added and
// changed lines on the right, the differing words inside changed lines marked, and the two
// editors scrolling together row by row.
class ComparacaoEditores : public QObject {
    Q_OBJECT
public:
    ComparacaoEditores(SqlEditor &esquerda, SqlEditor &direita, QObject *parent = nullptr);

    void Comparar(const QString &antes, const QString &depois);

    int Diferencas() const { return int(m_comparacao.diferencas().size()); }
    // The difference (1-based) in which the user's cursor stands, 0 outside every difference.
    int DiferencaAtual() const;
    // Moves both editors to the next (previous) difference after (before) the current row and
    // brings the whole of it into view; false when there is none.
    bool Proxima();
    bool Anterior();
    bool TemProxima() const;
    bool TemAnterior() const;

signals:
    void posicaoMudou();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One pane: its text's lines and the aligned row on which each of them stands.
    struct Lado {
        SqlEditor &editor;
        bool esquerda;
        QStringList linhas;
        QList<int> fileiras;
        int acima = 0;  // gap rows before the first line
        int posta = -1; // the line where the window last put the cursor, until the user moves it
    };

    void preencher(Lado &lado, const QString &texto);
    void sincronizar(Lado &origem, Lado &destino);
    bool rolarAcimaDoTexto(QObject *watched, const QWheelEvent &evento);
    // Scrolls the pane so that row `fileira` is its top row.
    void mostrarFileira(Lado &lado, int fileira);
    // The line on row `fileira`, or the next line below a gap (the last line after a final gap).
    int linhaDaFileira(const Lado &lado, int fileira) const;
    int fimDaDiferenca(int inicio) const;
    void irPara(int fileira);
    // Rows [inicio, fim) in sight with a few rows of context, and sideways from the first to the
    // last changed character when that fits.
    void enquadrar(int inicio, int fim);
    // Pixels from the start of the line to the changed stretch of `fileira` on this side;
    // false when the side has nothing changed there.
    bool trechoAlterado(const Lado &lado, int fileira, long &de, long &ate) const;

    Lado m_esquerda;
    Lado m_direita;
    TextComparison m_comparacao;
    int m_fileiraAtual = 0;
    // The rows last brought into view, framed again once the editors have their size.
    int m_inicioEnquadrado = 0;
    int m_fimEnquadrado = 0;
    // Where both editors were last scrolled to, together: the top row and the sideways offset.
    int m_primeira = 0;
    long m_deslocamentoX = 0;
    bool m_sincronizando = false;
    // Compared before the editors were shown: placed again once they have their size.
    bool m_irAoMostrar = false;
};
