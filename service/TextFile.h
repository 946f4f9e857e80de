#pragma once

#include <QByteArray>
#include <QString>

// Whole-file text reading as script files are read everywhere in the program: a byte-order
// mark selects UTF-8 or UTF-16 (little or big endian); a file without one is Windows-1252.
namespace TextFile {

// Throws Exception with the system's text when the file cannot be opened or read.
QString read(const QString &path);
// Decodes bytes already in memory by the same rule.
QString decode(const QByteArray &bytes);
// Replaces the file with the text's lines in Windows-1252 ("?" outside it), each line, the last
// included, followed by CR LF, without a byte-order mark. A break is CR LF, LF or CR. The old
// file stays whole when writing fails; throws Exception with the system's text then.
// Returns the bytes written.
QByteArray writeLines(const QString &path, const QString &text);

} // namespace TextFile
