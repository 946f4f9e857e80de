#include "service/DataResposta.h"

#include "base/ShortDate.h"
#include "service/ErroLeitura.h"

#include <QLocale>

namespace {

// The separator of the user's short time form (":" when it shows none).
QString separadorHora(const QLocale &locale) {
    for (QChar c : locale.timeFormat(QLocale::ShortFormat))
        if (!c.isLetter() && !c.isSpace())
            return QString(c);
    return QStringLiteral(":");
}

} // namespace

QDateTime LerDataResposta(const QString &texto) {
    const QLocale locale;
    const QString data = ShortDate::format();
    const QString sep = separadorHora(locale);
    const QString formas[] = {
        data + QStringLiteral(" H") + sep + QStringLiteral("mm") + sep + QStringLiteral("ss"),
        data + QStringLiteral(" H") + sep + QStringLiteral("mm"),
        data,
    };
    const QString t = texto.trimmed();
    for (const QString &forma : formas) {
        const QDateTime lida = locale.toDateTime(t, forma);
        if (lida.isValid())
            return lida;
    }
    const QDateTime iso = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (iso.isValid())
        return iso;
    throw ErroLeitura(QStringLiteral("'%1' não é uma data e hora válida.").arg(texto));
}
