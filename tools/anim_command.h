// `talvex-tool anim`: builds the animation data of the slots of system call 3 from text, and
// shows a data block as that text.
#pragma once

#include "tools/command.h"

namespace tvx::tool {

int RunAnim(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
