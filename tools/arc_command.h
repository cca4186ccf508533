// `talvex-tool arc`: pack, list and extract ARC archives.
#pragma once

#include "tools/command.h"

namespace tvx::tool {

int RunArc(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
