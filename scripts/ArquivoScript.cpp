#include "scripts/ArquivoScript.h"

#include "service/TextFile.h"
#include "base/Windows1252.h"

#include <QFileInfo>

QByteArray ArquivoScript::normalizar(const QString &texto) {
    QString linhas;
    linhas.reserve(texto.size() + texto.size() / 16 + 2);
    const qsizetype n = texto.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = texto.at(i);
        if (c == u'\r') {
            if (i + 1 < n && texto.at(i + 1) == u'\n')
                ++i;
            linhas += u"\r\n";
        } else if (c == u'\n') {
            linhas += u"\r\n";
        } else {
            linhas += c;
        }
    }
    if (n > 0 && texto.back() != u'\r' && texto.back() != u'\n')
        linhas += u"\r\n";
    return Windows1252::fromUnicode(linhas);
}

QByteArray ArquivoScript::ler(const QString &caminho) {
    return normalizar(TextFile::read(caminho));
}

QDateTime ArquivoScript::dataModificacao(const QFileInfo &arquivo) {
    const qint64 ms = arquivo.lastModified().toMSecsSinceEpoch();
    qint64 resto = ms % 2000;
    if (resto < 0)
        resto += 2000;
    return QDateTime::fromMSecsSinceEpoch(ms - resto);
}
