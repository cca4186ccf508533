// The script's animation slots and the animated cursor.
//
// Stand-in until the animation slots are built: no slot runs and the animated cursor shows
// the standard arrow.
#pragma once

#include <cstdint>

namespace tvx {

class AnimationTable {
 public:
  // The cursor resource of the animated cursor's current frame; 0 is the standard arrow.
  uint16_t CurrentCursorFrame() const { return 0; }
};

}  // namespace tvx
