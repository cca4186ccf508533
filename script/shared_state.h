// What the script machine and the shell both read and write: the player's options (read from
// the settings at start-up, changed by the menu commands), the mouse cursor the scripts ask
// for, the wheel, the menu commands the scripts enable, the item window's switches and the
// interface sounds. The clock thread reads the cursor words; everything else belongs to the
// program thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace tvx {

// The mouse wheel as the scripts see it: the last turn and the notches counted since the
// scripts last reset them.
struct WheelState {
  int16_t lastDelta = 0;
  uint16_t notches = 0;

  void Turned(int16_t delta) {
    lastDelta = delta;
    notches = static_cast<uint16_t>(notches + std::abs(static_cast<int>(delta)) / 120);
  }
  // 2 for a turn towards the player, 1 away, 0 none.
  int Direction() const { return lastDelta < 0 ? 2 : (lastDelta > 0 ? 1 : 0); }
};

// The game commands of the command menu that the scripts enable, grey and check.
enum MenuCommandId : uint16_t {
  kCommandItemWindow = 40032,
  kCommandLoadRequest = 40036,
  kCommandSaveRequest = 40037,
  kCommandClearMessages = 40038,
};

struct MenuCommandStates {
  struct State {
    bool enabled = false;  // they start greyed
    bool checked = false;
  };
  static constexpr std::array<uint16_t, 4> kIds = {kCommandItemWindow, kCommandLoadRequest,
                                                   kCommandSaveRequest, kCommandClearMessages};
  std::array<State, kIds.size()> states{};

  // The state of one of the four commands; nullptr for any other identifier.
  State* Find(uint16_t id) {
    for (size_t i = 0; i < kIds.size(); ++i)
      if (kIds[i] == id) return &states[i];
    return nullptr;
  }
  void Enable(uint16_t id, bool on) {
    if (State* s = Find(id)) s->enabled = on;
  }
  void Check(uint16_t id, bool on) {
    if (State* s = Find(id)) s->checked = on;
  }
};

struct SharedState {
  uint32_t moveSpeed = 1;  // "DUNGEON": the maze walker's speed, register W = speed × 20
  uint32_t soundOn = 1;    // "SOUND": music and effects
  uint32_t voiceOn = 1;    // "VOICE"
  uint32_t cursorVisible = 1;
  // 0 the arrow, 1 the animated cursor with base `cursorId`, 2 the cursor image `cursorId`.
  std::atomic<uint32_t> cursorKind{0};
  std::atomic<uint16_t> cursorId{0};
  WheelState wheel;
  MenuCommandStates commands;
  std::array<uint32_t, 2> itemWindowAvailable{};
  // EFFECT 11 and 12: the engine's own sounds on errors and when its windows open.
  uint32_t interfaceSounds = 0;
};

}  // namespace tvx
