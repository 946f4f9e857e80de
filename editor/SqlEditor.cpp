#include "editor/SqlEditor.h"

#include "editor/IrParaLinhaDialog.h"
#include "editor/LocalizarDialog.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPalette>
#include <QShortcut>
#include <Qsci/qscilexersql.h>

namespace {

// Scintilla sizes its styles by point size: 10 points are 13 pixels at 96 dots per inch.
QFont courier(int points) {
    QFont font(QStringLiteral("Courier New"), points);
    font.setStyleHint(QFont::Monospace);
    return font;
}

// Keys of this editor only, while it (or its find box) has the focus.
void Atalho(SqlEditor *editor, const QKeySequence &tecla, void (SqlEditor::*acao)()) {
    auto *atalho = new QShortcut(tecla, editor);
    atalho->setContext(Qt::WidgetShortcut);
    QObject::connect(atalho, &QShortcut::activated, editor, acao);
}

} // namespace

SqlEditor::SqlEditor(QWidget *parent) : QsciScintilla(parent) {
    // Texts cross the editor as QString; UTF-8 keeps every Windows-1252 character intact
    // (the default Latin-1 mode would lose the euro sign and its neighbours).
    setUtf8(true);
    // Script texts have CR LF line ends; a typed line break keeps to them.
    setEolMode(QsciScintilla::EolWindows);

    auto *lexer = new QsciLexerSQL(this);
    const QFont texto = courier(10);
    lexer->setDefaultFont(texto);
    lexer->setFont(texto);
    setLexer(lexer);

    setMarginType(0, QsciScintilla::NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginsFont(courier(8));
    ajustarMargem();
    connect(this, &QsciScintilla::linesChanged, this, &SqlEditor::ajustarMargem);

    Atalho(this, QKeySequence(Qt::CTRL | Qt::Key_F), &SqlEditor::Localizar);
    Atalho(this, QKeySequence(Qt::CTRL | Qt::Key_H), &SqlEditor::Substituir);
    Atalho(this, QKeySequence(Qt::CTRL | Qt::Key_G), &SqlEditor::IrParaLinha);
    Atalho(this, QKeySequence(Qt::Key_F3), &SqlEditor::LocalizarSeguinte);
    Atalho(this, QKeySequence(Qt::SHIFT | Qt::Key_F3), &SqlEditor::LocalizarAnterior);
}

// The gutter grows with the number of digits of the last line number.
void SqlEditor::ajustarMargem() {
    const QString digitos = QString::number(qMax(lines(), 1000));
    setMarginWidth(0, QFontMetrics(courier(8)).horizontalAdvance(digitos) + 8);
}

void SqlEditor::Localizar() {
    abrirLocalizar(false);
}

void SqlEditor::Substituir() {
    abrirLocalizar(!isReadOnly());
}

void SqlEditor::abrirLocalizar(bool substituir) {
    if (!m_localizar)
        m_localizar = new LocalizarDialog(*this);
    m_localizar->Exibir(substituir);
}

void SqlEditor::LocalizarSeguinte() {
    if (m_localizar)
        m_localizar->Proxima(true);
    else
        Localizar();
}

void SqlEditor::LocalizarAnterior() {
    if (m_localizar)
        m_localizar->Proxima(false);
    else
        Localizar();
}

void SqlEditor::IrParaLinha() {
    if (!m_irPara)
        m_irPara = new IrParaLinhaDialog(*this);
    m_irPara->Exibir();
}

bool SqlEditor::LocalizarProxima(const QString &texto, bool maiusculas, bool paraFrente) {
    if (texto.isEmpty())
        return false;
    const QByteArray procurado = texto.toUtf8();
    const long fim = SendScintilla(SCI_GETLENGTH);
    const long inicioSel = SendScintilla(SCI_GETSELECTIONSTART);
    const long fimSel = SendScintilla(SCI_GETSELECTIONEND);
    SendScintilla(SCI_SETSEARCHFLAGS, maiusculas ? SCFIND_MATCHCASE : 0);
    // Scintilla searches backwards when the target starts after its end.
    const auto procurar = [&](long de, long ate) {
        SendScintilla(SCI_SETTARGETSTART, de);
        SendScintilla(SCI_SETTARGETEND, ate);
        return SendScintilla(SCI_SEARCHINTARGET, procurado.size(), procurado.constData());
    };
    long achado = paraFrente ? procurar(fimSel, fim) : procurar(inicioSel, 0);
    if (achado < 0)
        achado = paraFrente ? procurar(0, fim) : procurar(fim, 0);
    if (achado < 0)
        return false;
    const long ate = SendScintilla(SCI_GETTARGETEND);
    // A match out of view is shown in the middle of the editor, with the lines around it.
    const int linha = int(SendScintilla(SCI_LINEFROMPOSITION, achado));
    const int visiveis = int(SendScintilla(SCI_LINESONSCREEN));
    const bool foraDeVista = linha < firstVisibleLine() || linha >= firstVisibleLine() + visiveis;
    SendScintilla(SCI_SETSEL, achado, ate);
    if (foraDeVista)
        setFirstVisibleLine(qMax(0, linha - visiveis / 2));
    SendScintilla(SCI_SCROLLRANGE, ate, achado);
    return true;
}

bool SqlEditor::SubstituirAtual(const QString &texto, const QString &novo, bool maiusculas) {
    if (isReadOnly() || texto.isEmpty())
        return false;
    const QString selecao = selectedText();
    if (!selecao.isEmpty() &&
        selecao.compare(texto, maiusculas ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
        replaceSelectedText(novo);
    return LocalizarProxima(texto, maiusculas);
}

int SqlEditor::SubstituirTodos(const QString &texto, const QString &novo, bool maiusculas) {
    if (isReadOnly() || texto.isEmpty())
        return 0;
    const QByteArray procurado = texto.toUtf8(), substituto = novo.toUtf8();
    SendScintilla(SCI_SETSEARCHFLAGS, maiusculas ? SCFIND_MATCHCASE : 0);
    int total = 0;
    long de = 0;
    beginUndoAction();
    for (;;) {
        SendScintilla(SCI_SETTARGETSTART, de);
        SendScintilla(SCI_SETTARGETEND, SendScintilla(SCI_GETLENGTH));
        if (SendScintilla(SCI_SEARCHINTARGET, procurado.size(), procurado.constData()) < 0)
            break;
        SendScintilla(SCI_REPLACETARGET, substituto.size(), substituto.constData());
        // Past the replacement, so that a replacement holding the text is not found again.
        de = SendScintilla(SCI_GETTARGETEND);
        ++total;
    }
    endUndoAction();
    return total;
}

void SqlEditor::setLinhasVaziasAcima(int linhas, const QColor &cor) {
    if (!m_faixaVazia) {
        m_faixaVazia = new QWidget(this);
        m_faixaVazia->setObjectName(QStringLiteral("faixaVazia"));
        m_faixaVazia->setAutoFillBackground(true);
    }
    QPalette paleta = m_faixaVazia->palette();
    paleta.setColor(QPalette::Window, cor);
    m_faixaVazia->setPalette(paleta);
    if (linhas == m_vaziasAcima)
        return;
    m_vaziasAcima = linhas;
    setViewportMargins(0, linhas * int(SendScintilla(SCI_TEXTHEIGHT, 0L)), 0, 0);
    posicionarFaixaVazia();
}

void SqlEditor::resizeEvent(QResizeEvent *event) {
    QsciScintilla::resizeEvent(event);
    posicionarFaixaVazia();
}

void SqlEditor::posicionarFaixaVazia() {
    if (!m_faixaVazia)
        return;
    const QRect texto = viewport()->geometry();
    const int altura = viewportMargins().top();
    m_faixaVazia->setGeometry(texto.x(), texto.y() - altura, texto.width(), altura);
    m_faixaVazia->setVisible(altura > 0);
}
