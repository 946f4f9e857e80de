#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page in which script texts are held, stored and sent.
namespace Windows1252 {

// One byte per UTF-16 code unit; a character outside the code page becomes "?".
QByteArray fromUnicode(const QString &text);
QString toUnicode(const QByteArray &bytes);

} // namespace Windows1252
