#pragma once

#include <QDate>
#include <QString>

// The user's short date form (day, month and year order and separator of the locale),
// always with a four-digit year: how date fields show dates and the settings file stores them.
namespace ShortDate {

QString format();
QString toText(const QDate &date);
// A null date when the text does not read as a valid date in that form.
QDate fromText(const QString &text);

} // namespace ShortDate
