#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Two texts compared line by line, and word by word inside the lines that changed, laid out as
// a diff viewer shows them: one row per line of either side, equal lines side by side, a changed
// line beside the line that replaced it, and an empty place opposite a line that was added or
// removed.
class TextComparison {
public:
    enum class Tipo { Igual, Alterada, Removida, Adicionada };

    // A stretch of a line, in characters (UTF-16 code units).
    struct Trecho {
        int inicio;
        int tamanho;

        bool operator==(const Trecho &) const = default;
    };

    struct Linha {
        Tipo tipo;
        int esquerda; // line of the first text, -1 where it has none (Adicionada)
        int direita;  // line of the second text, -1 where it has none (Removida)
        // Alterada only: the words that differ, on each side.
        QList<Trecho> palavrasEsquerda;
        QList<Trecho> palavrasDireita;
    };

    // The lines as an editor counts them: "\r\n", "\n" and a lone "\r" end a line, and a text that
    // ends with a line break has an empty last line.
    static QStringList linhas(const QString &texto);

    static TextComparison comparar(const QStringList &esquerda, const QStringList &direita);

    const QList<Linha> &linhasAlinhadas() const { return m_linhas; }
    // The first row of each run of rows that are not equal: one entry per difference.
    const QList<int> &diferencas() const { return m_diferencas; }

private:
    QList<Linha> m_linhas;
    QList<int> m_diferencas;
};
