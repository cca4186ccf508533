// What the script machine and the shell both read and write: the player's options (read from
// the settings at start-up, changed by the menu commands), the mouse cursor the scripts ask
// for, the item window's switches and the interface sounds. The clock thread reads the
// cursor words; everything else belongs to the program thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace tvx {

struct SharedState {
  uint32_t moveSpeed = 1;  // "DUNGEON": the maze walker's speed, register W = speed × 20
  uint32_t soundOn = 1;    // "SOUND": music and effects
  uint32_t voiceOn = 1;    // "VOICE"
  uint32_t cursorVisible = 1;
  // 0 the arrow, 1 the animated cursor, 2 the cursor resource in `cursorId`.
  std::atomic<uint32_t> cursorKind{0};
  std::atomic<uint16_t> cursorId{0};
  std::array<uint32_t, 2> itemWindowAvailable{};
  // EFFECT 11 and 12: the engine's own sounds on errors and when its windows open.
  uint32_t interfaceSounds = 0;
};

}  // namespace tvx
