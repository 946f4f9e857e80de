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

// One pass into a buffer of the part's size: a script's tens of megabytes of form text cost
// their length, not a growing copy per byte.
QString decodificar(QByteArrayView parte) {
    QByteArray bytes(parte.size(), Qt::Uninitialized);
    char *saida = bytes.data();
    for (qsizetype i = 0; i < parte.size(); ++i) {
        const char c = parte[i];
        if (c == '+') {
            *saida++ = ' ';
        } else if (c == '%' && i + 2 < parte.size() && digito(parte[i + 1]) >= 0 &&
                   digito(parte[i + 2]) >= 0) {
            *saida++ = char(digito(parte[i + 1]) << 4 | digito(parte[i + 2]));
            i += 2;
        } else {
            *saida++ = c; // a stray "%" stays as it is
        }
    }
    return QString::fromUtf8(bytes.constData(), saida - bytes.constData());
}

} // namespace

Formulario Formulario::ler(const QByteArray &codificado) {
    Formulario f;
    const QByteArrayView texto(codificado);
    for (qsizetype inicio = 0; inicio < texto.size();) {
        qsizetype fim = texto.indexOf('&', inicio);
        if (fim < 0)
            fim = texto.size();
        const QByteArrayView par = texto.sliced(inicio, fim - inicio);
        inicio = fim + 1;
        if (par.isEmpty())
            continue;
        const qsizetype igual = par.indexOf('=');
        if (igual < 0)
            f.definir(decodificar(par), QString());
        else
            f.definir(decodificar(par.first(igual)), decodificar(par.sliced(igual + 1)));
    }
    return f;
}
