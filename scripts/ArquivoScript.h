#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QFileInfo;

// How a script file on disk becomes a queue row's values.
namespace ArquivoScript {

// The whole file as Windows-1252 bytes ("?" for a character outside it), every line ended by
// CR LF, a last line without an end included; an empty file gives an empty text. Line ends may
// be CR LF, a lone CR or a lone LF. Throws Exception when the file cannot be read.
QByteArray ler(const QString &caminho);

// The same conversion over text already decoded.
QByteArray normalizar(const QString &texto);

// Last modification time, local, at two-second resolution (odd seconds rounded down).
QDateTime dataModificacao(const QFileInfo &arquivo);

} // namespace ArquivoScript
