// What the fuzz targets share: a game folder held in memory (no file is written per input, the
// current directory is never changed and nothing is left behind), a headless platform whose
// recorded boxes are dropped after each input, and one game system built once and replayed for
// each input.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/game_system.h"
#include "platform/memory_folder.h"

namespace tvx::fuzz {

// The pretend program's folder: the settings file is looked for here.
inline constexpr std::string_view kGameFolder = "/talvex-fuzz/";
inline constexpr std::string_view kSettingsPath = "/talvex-fuzz/TVXCHS.INI";

// Once per process: the memory folder in use, the program path inside it, the headless
// platform, no flushes to the disk. Every target calls it first.
platform::MemoryFolder& UseMemoryFolder();
// Forgets the boxes the input showed: recorded boxes do not pile up, and an input that
// allocates no more than it frees is not searched for leaks.
void ForgetBoxes();
// Empties the memory folder but for the settings file Game() uses: what one input saved is
// gone before the next, so that every input plays the same from the same files.
void ResetFolder();
// Puts a loose file of the game (a name as the scripts give it) or the settings file.
void PutFile(const std::string& name, std::span<const uint8_t> data);
void PutSettings(std::string_view text);

// The game system, started once with loose files only (no archives) on first use.
GameSystem& Game();
// Replays the start script in Game() for at most `virtual_ms` of virtual time and
// `fetch_budget` fetched script bytes; the run is then halted wherever it waits.
GameSystem::Ending ReplayBounded(uint32_t virtual_ms, uint64_t fetch_budget);

}  // namespace tvx::fuzz
