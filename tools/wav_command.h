// `talvex-tool wav`: sound files for the engine: information, conversion to the music and
// effect format and to the voice format (IMA ADPCM), and sampler loops.
#pragma once

#include "tools/command.h"

namespace tvx::tool {

int RunWav(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
