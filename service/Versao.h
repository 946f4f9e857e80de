#pragma once

#include "service/Conexao.h"

#include <QString>

// True when version A is greater than B, comparing up to three numeric components split at "."
// or blanks. Throws Exception when a component the comparison needs is missing or not a number.
bool VersaoMaior(const QString &a, const QString &b);

// GETs URLVersao() and returns the reply text. On any failure appends an empty line and
// "dd/mm/yyyy hh:mm:ss<TAB>message" to "log.log" in diretorioExe (CR LF line ends) and returns
// versaoPropria in double quotes. A log file that cannot be written throws Exception.
QString VerificarVersao(Conexao &conexao, const QString &versaoPropria, const QString &diretorioExe);
