#include "diff/TextComparison.h"

#include "diff/SequenceDiff.h"

#include <QHash>
#include <QStringView>

#include <vector>

namespace {

// Equal texts get equal numbers, shared by both sides.
class Numeracao {
public:
    int numero(QStringView texto) {
        const auto it = m_numeros.constFind(texto);
        return it != m_numeros.cend() ? *it : *m_numeros.insert(texto, int(m_numeros.size()));
    }

private:
    QHash<QStringView, int> m_numeros;
};

std::vector<int> numerar(const QStringList &linhas, Numeracao &numeracao) {
    std::vector<int> numeros;
    numeros.reserve(std::size_t(linhas.size()));
    for (const QString &linha : linhas)
        numeros.push_back(numeracao.numero(linha));
    return numeros;
}

// Words (letters, digits and "_"), runs of blanks, and every other character on its own.
QList<TextComparison::Trecho> palavras(const QString &linha) {
    QList<TextComparison::Trecho> trechos;
    const auto ePalavra = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    int i = 0;
    while (i < linha.size()) {
        const int inicio = i;
        const QChar c = linha[i];
        if (ePalavra(c)) {
            while (i < linha.size() && ePalavra(linha[i]))
                ++i;
        } else if (c.isSpace()) {
            while (i < linha.size() && linha[i].isSpace())
                ++i;
        } else {
            ++i;
            // A surrogate pair is one character.
            if (c.isHighSurrogate() && i < linha.size() && linha[i].isLowSurrogate())
                ++i;
        }
        trechos.append({inicio, i - inicio});
    }
    return trechos;
}

// The unmatched words of one side, neighbours joined into one stretch.
QList<TextComparison::Trecho> naoCasadas(const QList<TextComparison::Trecho> &trechos,
                                         const std::vector<bool> &casada) {
    QList<TextComparison::Trecho> resultado;
    for (int k = 0; k < trechos.size(); ++k) {
        if (casada[std::size_t(k)])
            continue;
        if (!resultado.isEmpty() && resultado.last().inicio + resultado.last().tamanho == trechos[k].inicio)
            resultado.last().tamanho += trechos[k].tamanho;
        else
            resultado.append(trechos[k]);
    }
    return resultado;
}

void compararPalavras(const QString &esquerda, const QString &direita, TextComparison::Linha &linha) {
    const QList<TextComparison::Trecho> pe = palavras(esquerda), pd = palavras(direita);
    Numeracao numeracao;
    std::vector<int> ne, nd;
    for (const auto &t : pe)
        ne.push_back(numeracao.numero(QStringView(esquerda).mid(t.inicio, t.tamanho)));
    for (const auto &t : pd)
        nd.push_back(numeracao.numero(QStringView(direita).mid(t.inicio, t.tamanho)));
    std::vector<bool> ce(ne.size(), false), cd(nd.size(), false);
    for (const SequenceDiff::Par &p : SequenceDiff::minimos(ne, nd)) {
        ce[std::size_t(p.a)] = true;
        cd[std::size_t(p.b)] = true;
    }
    linha.palavrasEsquerda = naoCasadas(pe, ce);
    linha.palavrasDireita = naoCasadas(pd, cd);
}

} // namespace

QStringList TextComparison::linhas(const QString &texto) {
    QStringList resultado;
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        resultado.append(texto.mid(inicio, i - inicio));
        if (c == QLatin1Char('\r') && i + 1 < texto.size() && texto[i + 1] == QLatin1Char('\n'))
            ++i;
        inicio = i + 1;
    }
    resultado.append(texto.mid(inicio));
    return resultado;
}

TextComparison TextComparison::comparar(const QStringList &esquerda, const QStringList &direita) {
    Numeracao numeracao;
    const std::vector<int> ne = numerar(esquerda, numeracao);
    const std::vector<int> nd = numerar(direita, numeracao);
    const QList<SequenceDiff::Par> pares = SequenceDiff::comuns(ne, nd);

    TextComparison resultado;
    QList<Linha> &linhas = resultado.m_linhas;
    linhas.reserve(qMax(esquerda.size(), direita.size()));
    int e = 0, d = 0;
    // Between two matched lines, the lines left over on each side: as many as possible are
    // shown as changed pairs, the rest as removed or added.
    const auto intervalo = [&](int ateE, int ateD) {
        if (e == ateE && d == ateD)
            return;
        resultado.m_diferencas.append(int(linhas.size()));
        for (; e < ateE && d < ateD; ++e, ++d) {
            Linha linha{Tipo::Alterada, e, d, {}, {}};
            compararPalavras(esquerda[e], direita[d], linha);
            linhas.append(std::move(linha));
        }
        for (; e < ateE; ++e)
            linhas.append({Tipo::Removida, e, -1, {}, {}});
        for (; d < ateD; ++d)
            linhas.append({Tipo::Adicionada, -1, d, {}, {}});
    };
    for (const SequenceDiff::Par &p : pares) {
        intervalo(p.a, p.b);
        linhas.append({Tipo::Igual, e++, d++, {}, {}});
    }
    intervalo(int(esquerda.size()), int(direita.size()));
    return resultado;
}
