#include "catalog/Campos.h"

#include "base/ShortDate.h"
#include "base/Windows1252.h"

QString Campos::Texto(const QString &texto, int tamanho) {
    return Windows1252::toUnicode(Windows1252::fromUnicode(texto).left(tamanho));
}

QString Campos::ExibirData(const QDateTime &data) {
    if (!data.isValid())
        return {};
    return ShortDate::toText(data.date()) + QLatin1Char(' ') +
           data.time().toString(QStringLiteral("HH:mm:ss"));
}

QString Campos::ExibirScript(const QByteArray &script) {
    return Windows1252::toUnicode(script);
}
