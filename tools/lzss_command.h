// `talvex-tool lzss`: compresses and expands single files in the engine's LZSS coding.
#pragma once

#include "tools/command.h"

namespace tvx::tool {

int RunLzss(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
