#include "editor/ComparacaoEditores.h"

#include "editor/SqlEditor.h"

#include <QColor>
#include <QEvent>
#include <algorithm>

namespace {

// Markers for whole lines and the indicator for words, clear of the editor's own numbers.
enum Marca { LinhaRemovida = 20, LinhaAdicionada = 21, LinhaVazia = 22 };
constexpr int IndicadorPalavra = 10;

void prepararMarcas(SqlEditor &editor, const QColor &palavra) {
    editor.markerDefine(QsciScintilla::Background, LinhaRemovida);
    editor.setMarkerBackgroundColor(QColor(255, 224, 224), LinhaRemovida);
    editor.markerDefine(QsciScintilla::Background, LinhaAdicionada);
    editor.setMarkerBackgroundColor(QColor(218, 251, 225), LinhaAdicionada);
    editor.markerDefine(QsciScintilla::Background, LinhaVazia);
    editor.setMarkerBackgroundColor(QColor(222, 222, 222), LinhaVazia);
    editor.indicatorDefine(QsciScintilla::FullBoxIndicator, IndicadorPalavra);
    editor.setIndicatorForegroundColor(palavra, IndicadorPalavra);
    editor.setIndicatorDrawUnder(true, IndicadorPalavra);
}

} // namespace

ComparacaoEditores::ComparacaoEditores(SqlEditor &esquerda, SqlEditor &direita, QObject *parent)
    : QObject(parent), m_esquerda(esquerda), m_direita(direita) {
    prepararMarcas(m_esquerda, QColor(255, 150, 150, 160));
    prepararMarcas(m_direita, QColor(120, 220, 140, 160));
    for (auto [origem, destino] : {std::pair{&m_esquerda, &m_direita}, std::pair{&m_direita, &m_esquerda}}) {
        // Scintilla tells of every scroll (keys, wheel, scroll bar or code) when it repaints.
        connect(origem, &QsciScintillaBase::SCN_UPDATEUI, this, [this, origem, destino](int mudou) {
            if (mudou & (QsciScintillaBase::SC_UPDATE_V_SCROLL | QsciScintillaBase::SC_UPDATE_H_SCROLL))
                sincronizar(*origem, *destino);
        });
        connect(origem, &QsciScintilla::cursorPositionChanged, this, [this](int linha, int) {
            m_linhaAtual = linha;
            if (!m_sincronizando)
                emit posicaoMudou();
        });
        // The texts are usually compared before the window has its size: a narrow editor scrolls
        // far sideways to show the cursor, and the shown one would keep that needless offset.
        origem->installEventFilter(this);
    }
}

bool ComparacaoEditores::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Resize && m_irAoMostrar && static_cast<QWidget *>(watched)->isVisible()) {
        m_irAoMostrar = false;
        // Once the editor has taken in its size.
        QMetaObject::invokeMethod(this, &ComparacaoEditores::mostrarCursores, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void ComparacaoEditores::Comparar(const QString &antes, const QString &depois) {
    const QStringList esquerda = TextComparison::linhas(antes), direita = TextComparison::linhas(depois);
    m_comparacao = TextComparison::comparar(esquerda, direita);
    marcar(m_esquerda, esquerda, true);
    marcar(m_direita, direita, false);
    irPara(m_comparacao.diferencas().isEmpty() ? 0 : m_comparacao.diferencas().first());
    m_irAoMostrar = !m_esquerda.isVisible();
}

// The side's aligned text, its gutter numbers, its coloured lines and marked words.
void ComparacaoEditores::marcar(SqlEditor &editor, const QStringList &linhas, bool esquerda) {
    using Tipo = TextComparison::Tipo;
    const QList<TextComparison::Linha> &alinhadas = m_comparacao.linhasAlinhadas();
    QStringList texto;
    QList<int> numeros;
    texto.reserve(alinhadas.size());
    numeros.reserve(alinhadas.size());
    for (const TextComparison::Linha &l : alinhadas) {
        const int linha = esquerda ? l.esquerda : l.direita;
        texto.append(linha >= 0 ? linhas[linha] : QString());
        numeros.append(linha + 1);
    }
    editor.setText(texto.join(QStringLiteral("\r\n")));
    editor.setNumerosLinha(numeros);
    editor.markerDeleteAll();
    editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, IndicadorPalavra);
    const Tipo propria = esquerda ? Tipo::Removida : Tipo::Adicionada;
    const Marca cor = esquerda ? LinhaRemovida : LinhaAdicionada;
    for (int row = 0; row < alinhadas.size(); ++row) {
        const TextComparison::Linha &l = alinhadas[row];
        if (l.tipo == Tipo::Igual)
            continue;
        if (l.tipo == Tipo::Alterada || l.tipo == propria)
            editor.markerAdd(row, cor);
        else
            editor.markerAdd(row, LinhaVazia);
        if (l.tipo != Tipo::Alterada)
            continue;
        // Scintilla counts positions in bytes of UTF-8.
        const QStringView linha(texto[row]);
        const long inicio = editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, row);
        for (const TextComparison::Trecho &t : esquerda ? l.palavrasEsquerda : l.palavrasDireita) {
            const long de = inicio + linha.left(t.inicio).toUtf8().size();
            editor.SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, de,
                                 long(linha.mid(t.inicio, t.tamanho).toUtf8().size()));
        }
    }
}

// Both editors have the same number of lines: the same first line shows the same row. Scintilla
// reports a scroll when it repaints, so the report of one editor may come after the other editor
// has moved again: only a position that differs from the one both were last given is a new move.
void ComparacaoEditores::sincronizar(SqlEditor &origem, SqlEditor &destino) {
    if (m_sincronizando)
        return;
    m_sincronizando = true;
    const int primeira = origem.firstVisibleLine();
    if (primeira != m_primeira) {
        m_primeira = primeira;
        destino.setFirstVisibleLine(primeira);
    }
    const long x = origem.SendScintilla(QsciScintillaBase::SCI_GETXOFFSET);
    if (x != m_deslocamentoX) {
        m_deslocamentoX = x;
        destino.SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, x);
    }
    m_sincronizando = false;
}

void ComparacaoEditores::irPara(int linha) {
    // In a changed line the cursor goes to the first differing word, so that a change at the end
    // of a long line is scrolled into view.
    int colunaEsquerda = 0, colunaDireita = 0;
    const QList<TextComparison::Linha> &linhas = m_comparacao.linhasAlinhadas();
    if (linha < linhas.size() && linhas[linha].tipo == TextComparison::Tipo::Alterada) {
        const TextComparison::Linha &l = linhas[linha];
        colunaEsquerda = l.palavrasEsquerda.isEmpty() ? 0 : l.palavrasEsquerda.first().inicio;
        colunaDireita = l.palavrasDireita.isEmpty() ? 0 : l.palavrasDireita.first().inicio;
    }
    m_sincronizando = true;
    // A few lines of context above the difference.
    const int primeira = std::max(0, linha - 3);
    m_esquerda.setFirstVisibleLine(primeira);
    m_direita.setFirstVisibleLine(primeira);
    m_esquerda.setCursorPosition(linha, colunaEsquerda);
    m_direita.setCursorPosition(linha, colunaDireita);
    m_sincronizando = false;
    mostrarCursores();
    m_primeira = m_esquerda.firstVisibleLine();
    m_linhaAtual = linha;
    emit posicaoMudou();
}

void ComparacaoEditores::mostrarCursores() {
    m_sincronizando = true;
    for (SqlEditor *editor : {&m_esquerda, &m_direita}) {
        editor->SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, 0L);
        int linha, coluna;
        editor->getCursorPosition(&linha, &coluna);
        const int primeira = editor->firstVisibleLine();
        // A cursor the user scrolled away from stays where it is.
        if (linha >= primeira &&
            linha < primeira + int(editor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN)))
            editor->ensureCursorVisible();
    }
    m_deslocamentoX = m_esquerda.SendScintilla(QsciScintillaBase::SCI_GETXOFFSET);
    m_sincronizando = false;
}

bool ComparacaoEditores::TemProxima() const {
    const QList<int> &d = m_comparacao.diferencas();
    return !d.isEmpty() && d.last() > m_linhaAtual;
}

bool ComparacaoEditores::TemAnterior() const {
    const QList<int> &d = m_comparacao.diferencas();
    return !d.isEmpty() && d.first() < m_linhaAtual;
}

bool ComparacaoEditores::Proxima() {
    const QList<int> &d = m_comparacao.diferencas();
    const auto it = std::upper_bound(d.begin(), d.end(), m_linhaAtual);
    if (it == d.end())
        return false;
    irPara(*it);
    return true;
}

bool ComparacaoEditores::Anterior() {
    const QList<int> &d = m_comparacao.diferencas();
    const auto it = std::lower_bound(d.begin(), d.end(), m_linhaAtual);
    if (it == d.begin())
        return false;
    irPara(*(it - 1));
    return true;
}
