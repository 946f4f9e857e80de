#pragma once

#include <QByteArray>
#include <QString>

// Whole-file text reading and writing as script files are handled everywhere in the program.
// Reading: a byte-order mark selects UTF-8 or UTF-16 (little or big endian); a file without one
// whose bytes are valid UTF-8 and hold at least one multi-byte sequence is UTF-8, as editors on
// Linux write it; any other file is Windows-1252.
namespace TextFile {

enum class Codificacao { Windows1252, Utf8, Utf8ComBom, Utf16LE, Utf16BE };
enum class FimDeLinha { CrLf, Lf, Cr };

// How a file was written, so that a save can write it back the same way. The line end is the
// file's first one; a file without any counts as CR LF.
struct Formato {
    Codificacao codificacao = Codificacao::Windows1252;
    FimDeLinha fimDeLinha = FimDeLinha::CrLf;

    bool operator==(const Formato &) const = default;
};

// A file as it was when read or written: its size and time, and a digest of its bytes that tells
// a real change from a file that was only touched.
struct Carimbo {
    qint64 tamanho = -1;     // -1: not known, nothing to compare with
    qint64 modificado = 0;   // last modification, milliseconds since the epoch
    qint64 verificadoEm = 0; // when size and time were last found to match the digest
    QByteArray resumo;

    bool conhecido() const { return tamanho >= 0; }
};

struct Conteudo {
    QString texto;
    Formato formato;
    Carimbo carimbo;
};

// Throws Exception naming the file, with the system's text, when it cannot be opened or read.
Conteudo ler(const QString &path);
QString read(const QString &path);
// Decodes bytes already in memory by the same rule.
QString decode(const QByteArray &bytes);
Conteudo decodificar(const QByteArray &bytes);

enum class Situacao { Igual, Alterado, Ausente };
// Compares the file on disk with `carimbo`. Size and time alike mean unchanged, unless the time
// is too close to the moment they were taken to tell two writes apart; then, and whenever they
// differ, the bytes' digest decides. A file touched without a change is Igual, and `carimbo`
// takes its new time so that the next comparison is a cheap one again. A file that exists but
// cannot be read counts as Alterado: reading it again reports why.
Situacao comparar(const QString &path, Carimbo &carimbo);

// Every line, the last included, followed by CR LF; an empty text stays empty. A break is CR LF,
// LF or a lone CR.
QString comCrLf(const QString &texto);
// The text as scripts are held and sent: comCrLf in Windows-1252 ("?" for a character outside it).
QByteArray script(const QString &texto);

// Replaces the file with the text's lines in `formato` (its encoding, with the byte-order mark
// the encoding implies, and its line end after every line, the last included). The old file
// stays whole when writing fails; throws Exception with the system's text then. Returns the
// written file's stamp.
Carimbo writeLines(const QString &path, const QString &text, const Formato &formato = {});

} // namespace TextFile
