#include "base/Windows1252.h"

#include <array>

namespace {

// 0x80..0x9F differ from Latin-1; 0 marks the five bytes the code page leaves undefined,
// which are read as the C1 control of the same value.
constexpr std::array<char16_t, 32> high = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char toByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t i = 0; i < high.size(); ++i)
        if (high[i] == c)
            return char(0x80 + i);
    if (c >= 0x80 && c <= 0x9F && high[c - 0x80] == 0)
        return char(c);
    return '?';
}

} // namespace

QByteArray Windows1252::fromUnicode(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    const QChar *c = text.constData();
    const QChar *const end = c + text.size();
    for (; c != end; ++c) {
        // A character beyond U+FFFF is one character, as caracteresNaoSuportados lists it.
        if (c->isHighSurrogate() && c + 1 != end && c[1].isLowSurrogate())
            ++c;
        *dst++ = toByte(c->unicode());
    }
    out.truncate(dst - out.data());
    return out;
}

QString Windows1252::toUnicode(const QByteArray &bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        const char16_t h = (u >= 0x80 && u <= 0x9F) ? high[u - 0x80] : 0;
        *dst++ = QChar(h ? h : char16_t(u));
    }
    return out;
}

QList<Windows1252::CaractereNaoSuportado> Windows1252::caracteresNaoSuportados(const QString &text) {
    QList<CaractereNaoSuportado> out;
    int linha = 1;
    int coluna = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            ++linha;
            coluna = 1;
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append({linha, coluna, QChar::surrogateToUcs4(c, text.at(i + 1).unicode())});
            ++i;
        } else if (toByte(c) == '?' && c != u'?') {
            out.append({linha, coluna, char32_t(c)});
        }
        ++coluna;
    }
    return out;
}

QString Windows1252::descreverNaoSuportados(const QList<CaractereNaoSuportado> &lista, qsizetype maximo) {
    QStringList linhas;
    for (qsizetype i = 0; i < lista.size() && i < maximo; ++i) {
        const CaractereNaoSuportado &c = lista.at(i);
        const QString codigo =
            QStringLiteral("U+%1").arg(uint(c.caractere), 4, 16, QLatin1Char('0')).toUpper();
        // A lone surrogate or a control character has no glyph to show: its code says it all.
        const bool visivel = !QChar::isSurrogate(c.caractere) && QChar::isPrint(c.caractere);
        linhas.append(visivel
                          ? QStringLiteral("linha %1, coluna %2: “%3” (%4)")
                                .arg(c.linha)
                                .arg(c.coluna)
                                .arg(QString::fromUcs4(&c.caractere, 1), codigo)
                          : QStringLiteral("linha %1, coluna %2: %3").arg(c.linha).arg(c.coluna).arg(codigo));
    }
    if (lista.size() > maximo)
        linhas.append(QStringLiteral("… e mais %1.").arg(lista.size() - maximo));
    return linhas.join(QLatin1Char('\n'));
}
