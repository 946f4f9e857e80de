#pragma once

#include "cli/Command.h"

#include <QString>

#include <vector>

// The texts of brisel-scripts-cli --help and COMMAND --help (standard output). The manual page
// is written from them, so they describe every command, option, variable and exit code.
namespace HelpText {

QString general(const std::vector<Command> &commands);
QString command(const Command &command);
// "brisel-scripts-cli VERSION"
QString version();

} // namespace HelpText
