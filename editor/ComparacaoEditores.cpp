#include "editor/ComparacaoEditores.h"

#include "editor/SqlEditor.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QWheelEvent>
#include <algorithm>

namespace {

// Markers for whole lines and the indicator for words, clear of the editor's own numbers.
enum Marca { LinhaRemovida = 20, LinhaAdicionada = 21 };
constexpr int IndicadorPalavra = 10;
// The gap rows' style, clear of the SQL lexer's styles.
constexpr int EstiloLacuna = 100;
const QColor CorLacuna(222, 222, 222);
// Rows above a difference brought into view.
constexpr int Contexto = 3;

void prepararMarcas(SqlEditor &editor, const QColor &palavra) {
    editor.markerDefine(QsciScintilla::Background, LinhaRemovida);
    editor.setMarkerBackgroundColor(QColor(255, 224, 224), LinhaRemovida);
    editor.markerDefine(QsciScintilla::Background, LinhaAdicionada);
    editor.setMarkerBackgroundColor(QColor(218, 251, 225), LinhaAdicionada);
    editor.indicatorDefine(QsciScintilla::FullBoxIndicator, IndicadorPalavra);
    editor.setIndicatorForegroundColor(palavra, IndicadorPalavra);
    editor.setIndicatorDrawUnder(true, IndicadorPalavra);
    editor.setAnnotationDisplay(QsciScintilla::AnnotationStandard);
}

// Scintilla counts positions in bytes of UTF-8.
long posicao(const SqlEditor &editor, int linha, QStringView texto, int coluna) {
    return editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, linha) +
           long(texto.left(coluna).toUtf8().size());
}

long xDe(const SqlEditor &editor, long pos) {
    return editor.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, pos);
}

} // namespace

ComparacaoEditores::ComparacaoEditores(SqlEditor &esquerda, SqlEditor &direita, QObject *parent)
    : QObject(parent), m_esquerda{esquerda, true, {}, {}, 0, -1}, m_direita{direita, false, {}, {}, 0, -1} {
    prepararMarcas(esquerda, QColor(255, 150, 150, 160));
    prepararMarcas(direita, QColor(120, 220, 140, 160));
    for (auto [origem, destino] : {std::pair{&m_esquerda, &m_direita}, std::pair{&m_direita, &m_esquerda}}) {
        // Scintilla tells of every scroll (keys, wheel, scroll bar or code) when it repaints.
        connect(&origem->editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this, origem, destino](int mudou) {
            if (mudou & (QsciScintillaBase::SC_UPDATE_V_SCROLL | QsciScintillaBase::SC_UPDATE_H_SCROLL))
                sincronizar(*origem, *destino);
        });
        connect(&origem->editor, &QsciScintilla::cursorPositionChanged, this, [this, origem](int linha, int) {
            // Scintilla reports a move when it repaints: the report of the window's own move
            // comes after it, and the line opposite a gap is not the difference's row.
            if (m_sincronizando || linha == origem->posta || linha < 0 || linha >= origem->fileiras.size())
                return;
            origem->posta = -1;
            m_fileiraAtual = origem->fileiras[linha];
            emit posicaoMudou();
        });
        // The texts are usually compared before the window has its size: a narrow editor scrolls
        // far sideways to show the cursor, and the shown one would keep that needless offset.
        origem->editor.installEventFilter(this);
        origem->editor.viewport()->installEventFilter(this);
    }
}

bool ComparacaoEditores::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Wheel && rolarAcimaDoTexto(watched, *static_cast<QWheelEvent *>(event)))
        return true;
    if (event->type() == QEvent::Resize && m_irAoMostrar && static_cast<QWidget *>(watched)->isVisible()) {
        m_irAoMostrar = false;
        // Once the editor has taken in its size, unless the user has scrolled meanwhile.
        QMetaObject::invokeMethod(
            this,
            [this] {
                for (const Lado *lado : {&m_esquerda, &m_direita}) {
                    if (lado->editor.firstVisibleLine() != std::max(0, m_primeira - lado->acima))
                        return;
                }
                enquadrar(m_inicioEnquadrado, m_fimEnquadrado);
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

// A pane at its first line has nothing above to scroll to, though gap rows stand above its text:
// the wheel turned up there scrolls both panes by rows.
bool ComparacaoEditores::rolarAcimaDoTexto(QObject *watched, const QWheelEvent &evento) {
    const int passos = evento.angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    for (const Lado *lado : {&m_esquerda, &m_direita}) {
        if (watched != lado->editor.viewport() || lado->acima == 0 || lado->editor.firstVisibleLine() > 0 ||
            passos <= 0 || m_primeira == 0)
            continue;
        m_sincronizando = true;
        m_primeira = std::max(0, m_primeira - passos * QApplication::wheelScrollLines());
        mostrarFileira(m_esquerda, m_primeira);
        mostrarFileira(m_direita, m_primeira);
        m_sincronizando = false;
        return true;
    }
    return false;
}

void ComparacaoEditores::Comparar(const QString &antes, const QString &depois) {
    m_comparacao = TextComparison::comparar(TextComparison::linhas(antes), TextComparison::linhas(depois));
    preencher(m_esquerda, antes);
    preencher(m_direita, depois);
    m_primeira = 0;
    irPara(m_comparacao.diferencas().isEmpty() ? 0 : m_comparacao.diferencas().first());
    m_irAoMostrar = !m_esquerda.editor.isVisible();
}

// The side's text as given, its gap rows drawn as annotation lines below the line they follow,
// its coloured lines and marked words.
void ComparacaoEditores::preencher(Lado &lado, const QString &texto) {
    using Tipo = TextComparison::Tipo;
    SqlEditor &editor = lado.editor;
    lado.linhas = TextComparison::linhas(texto);
    lado.fileiras.clear();
    lado.acima = 0;
    QList<int> lacunas(lado.linhas.size(), 0);
    const QList<TextComparison::Linha> &alinhadas = m_comparacao.linhasAlinhadas();
    for (int fileira = 0; fileira < alinhadas.size(); ++fileira) {
        const TextComparison::Linha &l = alinhadas[fileira];
        if ((lado.esquerda ? l.esquerda : l.direita) >= 0)
            lado.fileiras.append(fileira);
        else if (lado.fileiras.isEmpty())
            ++lado.acima;
        else
            ++lacunas[lado.fileiras.size() - 1];
    }

    editor.setText(texto);
    editor.clearAnnotations();
    editor.SendScintilla(QsciScintillaBase::SCI_STYLESETBACK, EstiloLacuna, CorLacuna);
    for (int linha = 0; linha < lacunas.size(); ++linha) {
        // One blank annotation line per gap row.
        if (lacunas[linha] > 0)
            editor.annotate(linha, QStringLiteral(" \n").repeated(lacunas[linha]).chopped(1), EstiloLacuna);
    }
    editor.setLinhasVaziasAcima(0, CorLacuna);
    editor.markerDeleteAll();
    editor.SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, IndicadorPalavra);
    const Marca cor = lado.esquerda ? LinhaRemovida : LinhaAdicionada;
    for (int linha = 0; linha < lado.fileiras.size(); ++linha) {
        const TextComparison::Linha &l = alinhadas[lado.fileiras[linha]];
        if (l.tipo == Tipo::Igual)
            continue;
        editor.markerAdd(linha, cor);
        if (l.tipo != Tipo::Alterada)
            continue;
        const QStringView texto(lado.linhas[linha]);
        for (const TextComparison::Trecho &t : lado.esquerda ? l.palavrasEsquerda : l.palavrasDireita) {
            const long de = posicao(editor, linha, texto, t.inicio);
            editor.SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, de,
                                 posicao(editor, linha, texto, t.inicio + t.tamanho) - de);
        }
    }
}

void ComparacaoEditores::mostrarFileira(Lado &lado, int fileira) {
    lado.editor.setLinhasVaziasAcima(std::max(0, lado.acima - fileira), CorLacuna);
    // Scintilla's first visible line counts the annotation lines: one per gap row.
    lado.editor.setFirstVisibleLine(std::max(0, fileira - lado.acima));
}

int ComparacaoEditores::linhaDaFileira(const Lado &lado, int fileira) const {
    const auto it = std::lower_bound(lado.fileiras.begin(), lado.fileiras.end(), fileira);
    return it == lado.fileiras.end() ? int(lado.fileiras.size()) - 1 : int(it - lado.fileiras.begin());
}

// Scintilla reports a scroll when it repaints, so the report of one editor may come after the
// other editor has moved again: only a position that differs from the one both were last given
// is a new move. A pane moved from there by as many rows as its top line moved.
void ComparacaoEditores::sincronizar(Lado &origem, Lado &destino) {
    if (m_sincronizando)
        return;
    m_sincronizando = true;
    const int primeira =
        m_primeira + origem.editor.firstVisibleLine() - std::max(0, m_primeira - origem.acima);
    if (primeira != m_primeira) {
        m_primeira = std::max(0, primeira);
        // A pane with gap rows above its text shows fewer of them as it scrolls down.
        if (origem.acima > 0)
            mostrarFileira(origem, m_primeira);
        mostrarFileira(destino, m_primeira);
    }
    const long x = origem.editor.SendScintilla(QsciScintillaBase::SCI_GETXOFFSET);
    if (x != m_deslocamentoX) {
        m_deslocamentoX = x;
        destino.editor.SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, x);
    }
    m_sincronizando = false;
}

int ComparacaoEditores::fimDaDiferenca(int inicio) const {
    const QList<TextComparison::Linha> &linhas = m_comparacao.linhasAlinhadas();
    int fim = inicio;
    while (fim < linhas.size() && linhas[fim].tipo != TextComparison::Tipo::Igual)
        ++fim;
    return fim;
}

void ComparacaoEditores::irPara(int fileira) {
    m_sincronizando = true;
    const QList<TextComparison::Linha> &linhas = m_comparacao.linhasAlinhadas();
    for (Lado *lado : {&m_esquerda, &m_direita}) {
        // In a changed line the cursor goes to the first differing word.
        int coluna = 0;
        if (fileira < linhas.size() && linhas[fileira].tipo == TextComparison::Tipo::Alterada) {
            const QList<TextComparison::Trecho> &palavras =
                lado->esquerda ? linhas[fileira].palavrasEsquerda : linhas[fileira].palavrasDireita;
            coluna = palavras.isEmpty() ? 0 : palavras.first().inicio;
        }
        lado->posta = linhaDaFileira(*lado, fileira);
        lado->editor.setCursorPosition(lado->posta, coluna);
    }
    m_sincronizando = false;
    enquadrar(fileira, fimDaDiferenca(fileira));
    m_fileiraAtual = fileira;
    emit posicaoMudou();
}

bool ComparacaoEditores::trechoAlterado(const Lado &lado, int fileira, long &de, long &ate) const {
    using Tipo = TextComparison::Tipo;
    const TextComparison::Linha &l = m_comparacao.linhasAlinhadas()[fileira];
    const int linha = lado.esquerda ? l.esquerda : l.direita;
    if (linha < 0)
        return false;
    const QStringView texto(lado.linhas[linha]);
    int inicio = 0, fim = int(texto.size());
    if (l.tipo == Tipo::Alterada) {
        const QList<TextComparison::Trecho> &palavras =
            lado.esquerda ? l.palavrasEsquerda : l.palavrasDireita;
        if (palavras.isEmpty())
            return false;
        inicio = palavras.first().inicio;
        fim = palavras.last().inicio + palavras.last().tamanho;
    }
    const long zero = xDe(lado.editor, posicao(lado.editor, linha, texto, 0));
    de = xDe(lado.editor, posicao(lado.editor, linha, texto, inicio)) - zero;
    ate = xDe(lado.editor, posicao(lado.editor, linha, texto, fim)) - zero;
    return true;
}

void ComparacaoEditores::enquadrar(int inicio, int fim) {
    m_inicioEnquadrado = inicio;
    m_fimEnquadrado = fim;
    m_sincronizando = true;
    // The difference's first row under a few rows of context; a difference taller than the panes
    // shows its start.
    m_primeira = std::max(0, inicio - Contexto);
    mostrarFileira(m_esquerda, m_primeira);
    mostrarFileira(m_direita, m_primeira);

    // Sideways, both panes together: from their left edge when the changed stretch fits so, else
    // its end in sight with some room, else its start. Only the rows in sight count (a long
    // difference would have every line laid out).
    long de = -1, ate = -1, largura = -1;
    for (const Lado *lado : {&m_esquerda, &m_direita}) {
        const SqlEditor &e = lado->editor;
        const long inicioTexto = xDe(e, 0) + e.SendScintilla(QsciScintillaBase::SCI_GETXOFFSET);
        const long l = e.viewport()->width() - inicioTexto;
        largura = largura < 0 ? l : std::min(largura, l);
        const int naTela = int(e.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN)) + e.LinhasVaziasAcima();
        for (int fileira = inicio; fileira < std::min(fim, m_primeira + naTela); ++fileira) {
            long a, b;
            if (!trechoAlterado(*lado, fileira, a, b))
                continue;
            de = de < 0 ? a : std::min(de, a);
            ate = std::max(ate, b);
        }
    }
    const long folga = m_direita.editor.SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                                      QsciScintillaBase::STYLE_DEFAULT, "0000");
    long x = 0;
    if (ate >= 0 && ate + folga > largura)
        x = ate - de + 2 * folga <= largura ? ate + folga - largura : std::max(0L, de - folga);
    for (Lado *lado : {&m_esquerda, &m_direita})
        lado->editor.SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, x);
    m_deslocamentoX = x;
    m_sincronizando = false;
}

int ComparacaoEditores::DiferencaAtual() const {
    const QList<int> &d = m_comparacao.diferencas();
    const auto it = std::upper_bound(d.begin(), d.end(), m_fileiraAtual);
    if (it == d.begin() || m_fileiraAtual >= fimDaDiferenca(*(it - 1)))
        return 0;
    return int(it - d.begin());
}

bool ComparacaoEditores::TemProxima() const {
    const QList<int> &d = m_comparacao.diferencas();
    return !d.isEmpty() && d.last() > m_fileiraAtual;
}

bool ComparacaoEditores::TemAnterior() const {
    const QList<int> &d = m_comparacao.diferencas();
    return !d.isEmpty() && d.first() < m_fileiraAtual;
}

bool ComparacaoEditores::Proxima() {
    const QList<int> &d = m_comparacao.diferencas();
    const auto it = std::upper_bound(d.begin(), d.end(), m_fileiraAtual);
    if (it == d.end())
        return false;
    irPara(*it);
    return true;
}

bool ComparacaoEditores::Anterior() {
    const QList<int> &d = m_comparacao.diferencas();
    const auto it = std::lower_bound(d.begin(), d.end(), m_fileiraAtual);
    if (it == d.begin())
        return false;
    irPara(*(it - 1));
    return true;
}
