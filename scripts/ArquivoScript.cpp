#include "scripts/ArquivoScript.h"

#include <QFileInfo>

ArquivoScript::Leitura ArquivoScript::ler(const QString &caminho) {
    const TextFile::Conteudo conteudo = TextFile::ler(caminho);
    return {TextFile::script(conteudo.texto), conteudo.formato, conteudo.carimbo,
            Windows1252::caracteresNaoSuportados(conteudo.texto)};
}

QDateTime ArquivoScript::dataModificacao(const QFileInfo &arquivo) {
    const qint64 ms = arquivo.lastModified().toMSecsSinceEpoch();
    qint64 resto = ms % 2000;
    if (resto < 0)
        resto += 2000;
    return QDateTime::fromMSecsSinceEpoch(ms - resto);
}
