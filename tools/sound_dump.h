// The sound part of `talvex-tool run --dump`: sounds.txt (every play, stop and fade of the
// channels) and, for headless runs, sound.wav (everything the device mixed).
#pragma once

#include <filesystem>
#include <ostream>

namespace tvx {
class GameSystem;
}

namespace tvx::tool {

bool WriteSoundDump(const std::filesystem::path& dir, GameSystem& system, std::ostream& err);

}  // namespace tvx::tool
