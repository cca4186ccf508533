// `talvex-tool mes`: assemble and disassemble MES scripts.
#pragma once

#include "tools/command.h"

namespace tvx::tool {

int RunMes(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
