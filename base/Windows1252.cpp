#include "base/Windows1252.h"

#include <array>

namespace {

// 0x80..0x9F differ from Latin-1; 0 marks the five bytes the code page leaves undefined,
// which are read as the C1 control of the same value.
constexpr std::array<char16_t, 32> high = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

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
    for (QChar c : text)
        *dst++ = toByte(c.unicode());
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
