#include "editor/SqlEditor.h"

#include <QFont>
#include <QFontMetrics>
#include <Qsci/qscilexersql.h>

namespace {

// Scintilla sizes its styles by point size: 10 points are 13 pixels at 96 dots per inch.
QFont courier(int points) {
    QFont font(QStringLiteral("Courier New"), points);
    font.setStyleHint(QFont::Monospace);
    return font;
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
}

// The gutter grows with the number of digits of the last line number.
void SqlEditor::ajustarMargem() {
    const QString digitos = QString::number(qMax(lines(), 1000));
    setMarginWidth(0, QFontMetrics(courier(8)).horizontalAdvance(digitos) + 8);
}
