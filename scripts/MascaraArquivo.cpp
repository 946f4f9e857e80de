#include "scripts/MascaraArquivo.h"

MascaraArquivo::MascaraArquivo(const QString &mascara) : FPadrao(mascara.toCaseFolded()) {
    if (FPadrao.endsWith(QLatin1String(".*")))
        FSemExtensao = FPadrao.chopped(2);
}

bool MascaraArquivo::aceita(const QString &nome) const {
    const QString dobrado = nome.toCaseFolded();
    if (casar(FPadrao, dobrado))
        return true;
    return !FSemExtensao.isEmpty() && !dobrado.contains(u'.') && casar(FSemExtensao, dobrado);
}

// Iterative wildcard match with single backtracking to the last "*": linear in practice and
// never exponential.
bool MascaraArquivo::casar(QStringView padrao, QStringView nome) {
    qsizetype p = 0, n = 0, estrela = -1, retorno = 0;
    while (n < nome.size()) {
        if (p < padrao.size() && (padrao[p] == u'?' || padrao[p] == nome[n])) {
            ++p;
            ++n;
        } else if (p < padrao.size() && padrao[p] == u'*') {
            estrela = p++;
            retorno = n;
        } else if (estrela >= 0) {
            p = estrela + 1;
            n = ++retorno;
        } else {
            return false;
        }
    }
    while (p < padrao.size() && padrao[p] == u'*')
        ++p;
    return p == padrao.size();
}
