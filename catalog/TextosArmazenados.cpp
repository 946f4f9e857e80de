#include "catalog/TextosArmazenados.h"

void TextosArmazenados::Registrar(int codigo, const Texto &texto) {
    FEntradas.insert(codigo, {texto, ++FUltimo});
}

const TextosArmazenados::Texto *TextosArmazenados::Depois(int codigo, qint64 momento) const {
    const auto entrada = FEntradas.constFind(codigo);
    return entrada != FEntradas.cend() && entrada->momento > momento ? &entrada->texto : nullptr;
}

QList<int> TextosArmazenados::CodigosDepois(qint64 momento) const {
    QList<int> codigos;
    for (auto entrada = FEntradas.cbegin(); entrada != FEntradas.cend(); ++entrada)
        if (entrada->momento > momento)
            codigos << entrada.key();
    return codigos;
}
