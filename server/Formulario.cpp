#include "server/Formulario.h"

namespace {

int digito(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QString decodificar(const QByteArray &parte) {
    QByteArray bytes;
    bytes.reserve(parte.size());
    for (qsizetype i = 0; i < parte.size(); ++i) {
        const char c = parte[i];
        if (c == '+') {
            bytes.append(' ');
        } else if (c == '%' && i + 2 < parte.size() && digito(parte[i + 1]) >= 0 &&
                   digito(parte[i + 2]) >= 0) {
            bytes.append(char(digito(parte[i + 1]) << 4 | digito(parte[i + 2])));
            i += 2;
        } else {
            bytes.append(c); // a stray "%" stays as it is
        }
    }
    return QString::fromUtf8(bytes);
}

} // namespace

Formulario Formulario::ler(const QByteArray &codificado) {
    Formulario f;
    for (const QByteArray &par : codificado.split('&')) {
        if (par.isEmpty())
            continue;
        const qsizetype igual = par.indexOf('=');
        if (igual < 0)
            f.definir(decodificar(par), QString());
        else
            f.definir(decodificar(par.left(igual)), decodificar(par.mid(igual + 1)));
    }
    return f;
}
