#include "service/Hexadecimal.h"

#include "base/Windows1252.h"
#include "json/NumberText.h"

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
        const int alto = json::NumberText::hexDigit(digitos[2 * i]);
        const int baixo = json::NumberText::hexDigit(digitos[2 * i + 1]);
        if (alto < 0 || baixo < 0)
            break;
        out.append(char((alto << 4) | baixo));
    }
    return out;
}
