#pragma once

#include "cli/Command.h"

// The commands of brisel-scripts-cli, each in its own file (cli/<Name>Command.cpp).

extern const Command validateCommand;
extern const Command versionCommand;
extern const Command searchCommand;
extern const Command logCommand;
extern const Command updateCommand;
extern const Command deleteCommand;
extern const Command uploadCommand;
extern const Command statusCommand;
