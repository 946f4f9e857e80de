#pragma once

#include "base/Windows1252.h"
#include "service/TextFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class QFileInfo;

// How a script file on disk becomes a queue row's values.
namespace ArquivoScript {

struct Leitura {
    // The whole text as Windows-1252 bytes ("?" for a character outside it), every line ended by
    // CR LF, a last line without an end included; an empty file gives an empty text.
    QByteArray script;
    // How the file was written and what it was when read, for a save and for noticing a change.
    TextFile::Formato formato;
    TextFile::Carimbo carimbo;
    // The characters that became "?", where they stand in the file.
    QList<Windows1252::CaractereNaoSuportado> naoSuportados;
};

// Throws Exception naming the file when it cannot be read.
Leitura ler(const QString &caminho);

// Last modification time, local, at two-second resolution (odd seconds rounded down).
QDateTime dataModificacao(const QFileInfo &arquivo);

} // namespace ArquivoScript
