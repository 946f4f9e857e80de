#pragma once

#include <QDateTime>
#include <QString>

// Reply dates: the user's short date form with an optional time, then "yyyy-mm-dd hh:mm:ss".
// Throws ErroLeitura when the text reads in neither.
QDateTime LerDataResposta(const QString &texto);
