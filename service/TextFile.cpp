#include "service/TextFile.h"

#include "base/ErroGeral.h"
#include "base/Exception.h"
#include "base/Windows1252.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {

using TextFile::Codificacao;
using TextFile::FimDeLinha;

// A file time this close to the moment it was taken may still change without showing: two
// writes inside the file system's clock step leave the same time behind.
constexpr qint64 margemRelogioMs = 2000;

const QByteArray bomUtf8("\xEF\xBB\xBF");
const QByteArray bomUtf16LE("\xFF\xFE");
const QByteArray bomUtf16BE("\xFE\xFF");

QByteArray resumo(const QByteArray &bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
}

TextFile::Carimbo carimbo(const QFileInfo &info, const QByteArray &bytes) {
    TextFile::Carimbo c;
    c.tamanho = bytes.size();
    c.modificado = info.lastModified().toMSecsSinceEpoch();
    c.verificadoEm = QDateTime::currentMSecsSinceEpoch();
    c.resumo = resumo(bytes);
    return c;
}

// The file's bytes; false, with the system's text in `erro`, when it cannot be opened or read.
bool lerBytes(const QString &path, QByteArray &bytes, QString &erro) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return true;
    }
    erro = file.errorString();
    return false;
}

[[noreturn]] void falhaLeitura(const QString &path, const QString &motivo) {
    throw Exception(ErroGeral::comPontoFinal(
        QStringLiteral("Não foi possível ler o arquivo \"%1\": %2").arg(path, motivo)));
}

QString utf16(QByteArrayView bytes, QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding);
    return decoder(bytes);
}

FimDeLinha primeiroFimDeLinha(const QString &texto) {
    const qsizetype cr = texto.indexOf(u'\r');
    const qsizetype lf = texto.indexOf(u'\n');
    if (cr < 0 && lf < 0)
        return FimDeLinha::CrLf;
    if (cr < 0 || (lf >= 0 && lf < cr))
        return FimDeLinha::Lf;
    return cr + 1 < texto.size() && texto.at(cr + 1) == u'\n' ? FimDeLinha::CrLf : FimDeLinha::Cr;
}

// The text's lines; a final break ends the last line rather than starting an empty one.
QList<QStringView> linhas(const QString &texto) {
    QList<QStringView> resultado;
    const qsizetype n = texto.size();
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = texto.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        resultado << QStringView(texto).sliced(inicio, i - inicio);
        if (c == u'\r' && i + 1 < n && texto.at(i + 1) == u'\n')
            ++i;
        inicio = i + 1;
    }
    if (inicio < n)
        resultado << QStringView(texto).sliced(inicio);
    return resultado;
}

QString comFimDeLinha(const QString &texto, QStringView fim) {
    QString saida;
    saida.reserve(texto.size() + texto.size() / 16 + 2);
    for (QStringView linha : linhas(texto)) {
        saida += linha;
        saida += fim;
    }
    return saida;
}

QStringView textoFimDeLinha(FimDeLinha fim) {
    switch (fim) {
    case FimDeLinha::Lf:
        return u"\n";
    case FimDeLinha::Cr:
        return u"\r";
    case FimDeLinha::CrLf:
        break;
    }
    return u"\r\n";
}

QByteArray codificar(const QString &texto, Codificacao codificacao) {
    switch (codificacao) {
    case Codificacao::Utf8:
        return texto.toUtf8();
    case Codificacao::Utf8ComBom:
        return bomUtf8 + texto.toUtf8();
    case Codificacao::Utf16LE:
    case Codificacao::Utf16BE: {
        const bool le = codificacao == Codificacao::Utf16LE;
        QStringEncoder encoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        return (le ? bomUtf16LE : bomUtf16BE) + QByteArray(encoder(texto));
    }
    case Codificacao::Windows1252:
        break;
    }
    return Windows1252::fromUnicode(texto);
}

} // namespace

TextFile::Conteudo TextFile::decodificar(const QByteArray &bytes) {
    Conteudo c;
    if (bytes.startsWith(bomUtf8)) {
        c.formato.codificacao = Codificacao::Utf8ComBom;
        c.texto = QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    } else if (bytes.startsWith(bomUtf16LE)) {
        c.formato.codificacao = Codificacao::Utf16LE;
        c.texto = utf16(QByteArrayView(bytes).sliced(2), QStringConverter::Utf16LE);
    } else if (bytes.startsWith(bomUtf16BE)) {
        c.formato.codificacao = Codificacao::Utf16BE;
        c.texto = utf16(QByteArrayView(bytes).sliced(2), QStringConverter::Utf16BE);
    } else {
        const bool soAscii = std::all_of(bytes.begin(), bytes.end(), [](char b) { return (b & 0x80) == 0; });
        if (!soAscii) {
            // Stateless: a sequence cut off at the end of the file is an error, not pending input.
            QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
            QString texto = utf8(bytes);
            if (!utf8.hasError()) {
                c.formato.codificacao = Codificacao::Utf8;
                c.texto = std::move(texto);
            }
        }
        if (c.formato.codificacao != Codificacao::Utf8)
            c.texto = Windows1252::toUnicode(bytes);
    }
    c.formato.fimDeLinha = primeiroFimDeLinha(c.texto);
    return c;
}

QString TextFile::decode(const QByteArray &bytes) {
    return decodificar(bytes).texto;
}

TextFile::Conteudo TextFile::ler(const QString &path) {
    QByteArray bytes;
    QString erro;
    if (!lerBytes(path, bytes, erro))
        falhaLeitura(path, erro);
    Conteudo c = decodificar(bytes);
    c.carimbo = carimbo(QFileInfo(path), bytes);
    return c;
}

QString TextFile::read(const QString &path) {
    return ler(path).texto;
}

TextFile::Situacao TextFile::comparar(const QString &path, Carimbo &c) {
    const QFileInfo info(path);
    if (!info.isFile())
        return Situacao::Ausente;
    const qint64 modificado = info.lastModified().toMSecsSinceEpoch();
    if (info.size() == c.tamanho && modificado == c.modificado &&
        modificado + margemRelogioMs < c.verificadoEm)
        return Situacao::Igual;
    QByteArray bytes;
    QString erro;
    if (!lerBytes(path, bytes, erro) || resumo(bytes) != c.resumo)
        return Situacao::Alterado;
    c = carimbo(info, bytes);
    return Situacao::Igual;
}

QString TextFile::comCrLf(const QString &texto) {
    return comFimDeLinha(texto, u"\r\n");
}

QByteArray TextFile::script(const QString &texto) {
    return Windows1252::fromUnicode(comCrLf(texto));
}

TextFile::Carimbo TextFile::writeLines(const QString &path, const QString &text, const Formato &formato) {
    const QByteArray bytes =
        codificar(comFimDeLinha(text, textoFimDeLinha(formato.fimDeLinha)), formato.codificacao);
    QSaveFile file(path);
    // A writable file in a folder where no temporary file can be made is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Exception(file.errorString());
    return carimbo(QFileInfo(path), bytes);
}
