// An animation that blinks on the clock, for tests that look at what goes on behind a menu,
// dialog or view.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "resources/byte_order.h"

namespace tvx::testing {

// An animation block with one program for slot (0, 0): frames 20 and 21 (4 × 4 blocks at the
// top of plane 1) shown in turn at (100, 100) of plane 0, over and over.
inline std::vector<uint8_t> BlinkingAnimation() {
  std::vector<uint8_t> out(62 + 17 * 22, 0);  // frame records up to 21
  for (const uint32_t frame : {20u, 21u}) {
    const size_t at = 62 + 17 * size_t{frame};
    out[at] = 0x10;
    const uint16_t fields[] = {static_cast<uint16_t>(frame == 20 ? 0 : 4), 0, 4, 4, 100, 100};
    for (size_t i = 0; i < 6; ++i) bytes::StoreLe16(out, at + 1 + 2 * i, fields[i]);
  }
  bytes::StoreLe32(out, 2, static_cast<uint32_t>(out.size()));
  for (const uint16_t c : {20, 2, 3, 21, 2, 3, 3}) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

// Draws the two frames on plane 1, loads ANIM.DAT and starts slot (0, 0) blinking at
// (100, 100) of the screen.
inline constexpr std::string_view kStartBlinking = R"(
    SET_DIM16 1, 0, 1
    SET_DIM16 11, 0, 0x7C00           ; frame 20 red
    SYSCALL 10, 2, 0, 0, 3, 3
    SET_DIM16 11, 0, 0x03E0           ; frame 21 green
    SYSCALL 10, 2, 4, 0, 7, 3
    SET_DIM16 1, 0, 0
    SET_DIM16 11, 0, 0
    SYSCALL 7, "ANIM.DAT", 0x30000
    SET_DIM32 2, 0, 0x30000
    SYSCALL 3, 0, 0, 0
    SYSCALL 3, 1, 0, 0                ; blinking on the clock from now on
)";

}  // namespace tvx::testing
