// `talvex-tool build SRC_DIR OUT_DIR`: a source folder made into a game folder by
// convention (docs/tools.md, "Building a game folder").
#pragma once

#include "tools/command.h"

namespace tvx::tool {

int RunBuild(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
