#include "scripts/PesquisaArquivos.h"

#include "scripts/ArquivoScript.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// Case-insensitive name order, ties broken by the exact text so that the order is total.
bool antes(const QFileInfo &a, const QFileInfo &b) {
    const QString na = a.fileName(), nb = b.fileName();
    const int c = na.compare(nb, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : na < nb;
}

} // namespace

PesquisaArquivos::PesquisaArquivos(const QString &mascara, Ganchos ganchos)
    : FMascara(mascara), FGanchos(std::move(ganchos)) {}

bool PesquisaArquivos::Pesquisar(const QString &pasta) {
    FDesdeEventos.start();
    return PesquisarArquivos(pasta);
}

bool PesquisaArquivos::continuar() {
    if (FGanchos.processarEventos && FDesdeEventos.elapsed() >= IntervaloEventosMs) {
        FGanchos.processarEventos();
        FDesdeEventos.restart();
    }
    return !(FGanchos.parar && FGanchos.parar());
}

bool PesquisaArquivos::PesquisarArquivos(const QString &pasta) {
    QString base = pasta;
    if (!base.endsWith(u'/'))
        base += u'/';

    // One listing serves both passes; hidden (dot) and non-regular entries are left out.
    QFileInfoList entradas =
        QDir(base).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(entradas.begin(), entradas.end(), antes);

    for (const QFileInfo &e : entradas) {
        if (!continuar())
            return false;
        if (!e.isFile() || !FMascara.aceita(e.fileName()))
            continue;
        const QDateTime data = ArquivoScript::dataModificacao(e);
        if (!(data < FGanchos.limite()))
            FGanchos.encontrado(base + e.fileName(), data);
    }
    for (const QFileInfo &e : entradas) {
        if (!e.isDir() || e.isSymLink())
            continue;
        if (!continuar())
            return false;
        if (!PesquisarArquivos(base + e.fileName()))
            return false;
    }
    return true;
}
