// Animation data for the slots of system call 3, as `talvex-tool anim` builds and shows it:
// frame records and slot programs, with the numbers of the block's layout.
//
// The block, all numbers little-endian:
//
//   offset 0            u16   not read by the engine as data (the tool writes 4, "end")
//   offset 2            100 × u32: offset from the block start of the program of slot
//                       0 … 99 (slot = row × 10 + column); 0 for a slot without one
//   offset 62 + 17 × F  the 17-byte record of frame F, for F ≥ 20 (frame 20 at 402):
//                       +0 u8 type (high nibble), +1 u16 sx, sy, w, h (the block on plane
//                       1), +9 u16 dx, dy (where it goes on plane 0), +13 two u16 the
//                       engine ignores
//   then                the programs, one after another: u16 commands
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tvx::tool::anim {

inline constexpr uint32_t kRows = 10;
inline constexpr uint32_t kColumns = 10;
inline constexpr uint32_t kSlots = kRows * kColumns;
inline constexpr uint64_t kTableOffset = 2;
inline constexpr uint64_t kFrameBase = 62;
inline constexpr uint64_t kFrameSize = 17;
inline constexpr uint32_t kFirstFrame = 20;
inline constexpr uint32_t kLastFrame = 65534;
// Where the first frame record begins: the offset table ends there.
inline constexpr uint64_t kHeaderSize = kFrameBase + kFrameSize * kFirstFrame;

constexpr uint64_t FrameOffset(uint32_t number) {
  return kFrameBase + kFrameSize * number;
}

// Program commands (any value from 20 to 65534 shows that frame).
enum Command : uint16_t {
  kNothing = 0,
  kEndIfOnce = 1,
  kWait = 2,
  kRestart = 3,
  kEnd = 4,
  kLoop = 5,
  kNext = 6,
  kLoop2 = 7,
  kNext2 = 8,
  kEndMark = 65535,
};

constexpr bool TakesOperand(uint16_t command) {
  return command == kWait || command == kLoop || command == kLoop2;
}
// Commands after which the engine never reads on.
constexpr bool EndsProgram(uint16_t command) {
  return command == kRestart || command == kEnd || command == kEndMark;
}
constexpr bool IsFrame(uint16_t command) {
  return command >= kFirstFrame && command <= kLastFrame;
}

// Frame types: the high nibble of a record's first byte.
enum FrameType : uint8_t { kCopy = 0x10, kKeyed = 0x20, kSwap = 0x30, kComposite = 0x40 };

// The planes frames are copied between.
inline constexpr uint32_t kSheetWidth = 1000;
inline constexpr uint32_t kSheetHeight = 1760;
inline constexpr uint32_t kScreenWidth = 640;
inline constexpr uint32_t kScreenHeight = 480;

struct Frame {
  uint16_t number = kFirstFrame;
  uint8_t type = kCopy;  // the record's whole first byte
  uint16_t sx = 0, sy = 0, w = 0, h = 0, dx = 0, dy = 0;
  uint16_t ignored1 = 0, ignored2 = 0;  // the two fields the engine does not read
  bool operator==(const Frame&) const = default;
};

struct Program {
  uint32_t row = 0;
  uint32_t column = 0;
  std::vector<uint16_t> words;  // commands and their operands
  bool operator==(const Program&) const = default;
};

struct AnimData {
  std::vector<Frame> frames;      // by number
  std::vector<Program> programs;  // in the order they are laid out
  bool operator==(const AnimData&) const = default;
};

}  // namespace tvx::tool::anim
