// The timed input of a headless run: one event per line, "#" starts a comment, times in
// milliseconds of virtual time. See docs/headless-events.md.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace tvx::platform {

struct ScriptedEvent {
  enum class Kind : uint8_t {
    KeyDown,
    KeyUp,
    MouseMove,
    MouseDown,
    MouseUp,
    Wheel,
    FocusLost,
    FocusGained,
    Close,
    Minimize,
    Restore,
    Answer,
    MenuCommand,
    Type,
  };
  uint32_t time = 0;  // ms
  Kind kind = Kind::KeyDown;
  Key key = Key::None;
  bool left = true;  // mouse button
  int32_t x = 0, y = 0;
  int32_t delta = 0;
  uint16_t command = 0;  // the menu command's identifier
  BoxAnswer answer = BoxAnswer::Ok;
  std::string text;  // Type: the typed text, UTF-8
};

struct EventScriptResult {
  std::vector<ScriptedEvent> events;  // sorted by time, stable
  // When the text is not valid: one "line N: ..." per bad line, joined by line breaks; the
  // events are then empty.
  std::string error;
  bool ok() const { return error.empty(); }
};

EventScriptResult ParseEventScript(std::string_view text);
// The key named in the script ("Enter", "A", "F4", ...); Key::None when unknown.
Key KeyFromName(std::string_view name);

}  // namespace tvx::platform
