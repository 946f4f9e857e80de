#pragma once

#include "cli/Command.h"

// The commands of brisel-scripts-cli, each in its own file (cli/<Name>Command.cpp).

extern const Command validateCommand;
