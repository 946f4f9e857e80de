#include "base/ShortDate.h"

#include <QLocale>
#include <QRegularExpression>

QString ShortDate::format() {
    QString f = QLocale().dateFormat(QLocale::ShortFormat);
    // Locales such as en_US use a two-digit year, which would lose the century on a round trip.
    static const QRegularExpression years(QStringLiteral("y+"));
    f.replace(years, QStringLiteral("yyyy"));
    return f;
}

QString ShortDate::toText(const QDate &date) {
    return date.isValid() ? QLocale().toString(date, format()) : QString();
}

QDate ShortDate::fromText(const QString &text) {
    return QLocale().toDate(text.trimmed(), format());
}
