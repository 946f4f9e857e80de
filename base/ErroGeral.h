#pragma once

#include <QString>
#include <exception>

// What the general error report shows for an error that no handler caught.
namespace ErroGeral {

// The message of the innermost error when errors are nested (std::throw_with_nested).
QString mensagem(const std::exception &e);
// Adds a full stop when the last character's code is above that of ".".
QString comPontoFinal(const QString &message);

} // namespace ErroGeral
