#include "service/Hexadecimal.h"

#include "service/Windows1252.h"

namespace {

int valorDigito(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

QString TextoParaHex(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString TextoParaHex(const QString &texto) {
    return TextoParaHex(Windows1252::fromUnicode(texto));
}

QByteArray HexParaTexto(const QString &digitos) {
    const qsizetype pares = digitos.size() / 2;
    QByteArray out;
    out.reserve(pares);
    for (qsizetype i = 0; i < pares; ++i) {
        const int alto = valorDigito(digitos[2 * i]);
        const int baixo = valorDigito(digitos[2 * i + 1]);
        if (alto < 0 || baixo < 0)
            break;
        out.append(char((alto << 4) | baixo));
    }
    return out;
}
