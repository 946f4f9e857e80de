#pragma once

#include <QByteArray>
#include <QString>

// Script texts on the wire: two upper-case hexadecimal digits per Windows-1252 byte.
QString TextoParaHex(const QByteArray &bytes);
// Converts the text to Windows-1252 first ("?" for a character outside it).
QString TextoParaHex(const QString &texto);
// Decodes pairs from the start and stops silently at the first pair that is not hexadecimal;
// a last odd digit is ignored. Never fails.
QByteArray HexParaTexto(const QString &digitos);
