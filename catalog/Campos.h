#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// How the result tables store and show their fields.
namespace Campos {

// A single-byte text field of `tamanho` characters: outside Windows-1252 becomes "?",
// a longer text keeps its first `tamanho` characters.
QString Texto(const QString &texto, int tamanho);
// A date and time in the user's regional short date form with the time of day.
QString ExibirData(const QDateTime &data);
// A Windows-1252 script text for showing.
QString ExibirScript(const QByteArray &script);

} // namespace Campos
