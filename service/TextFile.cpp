#include "service/TextFile.h"

#include "base/Exception.h"
#include "base/Windows1252.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

QString TextFile::decode(const QByteArray &bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                            : QStringConverter::Utf16BE);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    return Windows1252::toUnicode(bytes);
}

QString TextFile::read(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Exception(file.errorString());
    return decode(bytes);
}

QByteArray TextFile::writeLines(const QString &path, const QString &text) {
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\n|\\r"));
    QStringList lines = text.split(lineBreak);
    // A text that ends with a break has no further line after it.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += Windows1252::fromUnicode(line) + "\r\n";

    QSaveFile file(path);
    // A writable file in a folder where no temporary file can be made is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Exception(file.errorString());
    return bytes;
}
