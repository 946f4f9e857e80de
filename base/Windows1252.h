#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The single-byte code page in which script texts are held, stored and sent.
namespace Windows1252 {

// One byte per character; a character outside the code page becomes one "?" (a surrogate pair is
// one character, a lone surrogate too).
QByteArray fromUnicode(const QString &text);
QString toUnicode(const QByteArray &bytes);

// A character that fromUnicode would turn into "?", where it stands in the text.
struct CaractereNaoSuportado {
    int linha;          // 1-based; "\n", "\r\n" and a lone "\r" each end a line
    int coluna;         // 1-based, counted in characters (a surrogate pair is one)
    char32_t caractere; // the code point (a lone surrogate as its own code unit)

    bool operator==(const CaractereNaoSuportado &) const = default;
};

// Every character of `text` outside the code page, in the order they appear.
QList<CaractereNaoSuportado> caracteresNaoSuportados(const QString &text);

// One line per occurrence ("linha 3, coluna 7: “→” (U+2192)"), at most `maximo` lines and then
// "… e mais N."; empty for an empty list. Callers put their own sentence before it.
QString descreverNaoSuportados(const QList<CaractereNaoSuportado> &lista, qsizetype maximo = 10);

} // namespace Windows1252
