// The talvex-tool dispatcher: the first argument names a subcommand from the table, which
// gets the rest.
#pragma once

#include <span>

#include "tools/command.h"

namespace tvx::tool {

// Every subcommand, in the order `--help` lists them.
std::span<const Command> Commands();

// Runs the tool with its arguments (without the program name). An exit code.
int RunTool(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
