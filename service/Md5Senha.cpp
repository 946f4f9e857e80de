#include "service/Md5Senha.h"

#include <QCryptographicHash>

QString Md5Senha(const QString &senha) {
    QByteArray bytes;
    bytes.reserve(senha.size());
    for (QChar c : senha)
        bytes.append(c.unicode() > 127 ? '?' : char(c.unicode()));
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}
