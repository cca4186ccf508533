// `talvex-tool g16`: G16 pictures from PNG files and back, and what a G16 file holds.
#pragma once

#include "tools/command.h"

namespace tvx::tool {

int RunG16(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
