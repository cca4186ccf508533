// The address space that scripts see. A VmAddress is a 32-bit number; the engine places its
// script-visible areas at fixed bases and resolves every access through Resolve, which checks
// that the whole access lies inside one area. A read outside every area yields 0; a write
// outside is dropped. Nothing a script computes can reach engine memory.
//
//   0x00400000  the variable area (4096 bytes) and directly behind it the script image
//   0x00800000  a 52-byte scratch block
//   0x00810000  the menu code table (50 addresses)
//   0x00820000  the menu number list (50 numbers)
//   0x00830000  the command area: a developer's line of code typed at the prompt
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "resources/byte_order.h"

namespace tvx {

using VmAddress = uint32_t;

inline constexpr VmAddress kVariableAreaAddress = 0x00400000;
inline constexpr VmAddress kScriptImageAddress = kVariableAreaAddress + 4096;
inline constexpr VmAddress kScratchBlockAddress = 0x00800000;
inline constexpr VmAddress kMenuCodeTableAddress = 0x00810000;
inline constexpr VmAddress kMenuNumberListAddress = 0x00820000;
inline constexpr VmAddress kCommandAreaAddress = 0x00830000;
inline constexpr size_t kScratchBlockSize = 52;
inline constexpr size_t kCommandAreaSize = 2048;

class VmMemory {
 public:
  // The areas, each at its base address. Spans must outlive this object.
  void Map(VmAddress base, std::span<uint8_t> area);

  // The `size` bytes at `address`, or an empty span when they do not lie in one area.
  std::span<uint8_t> Resolve(VmAddress address, uint32_t size) const {
    const auto rest = Rest(address);
    if (rest.size() < size) return {};
    return rest.first(size);
  }
  // Everything from `address` to the end of its area (empty when outside every area).
  std::span<uint8_t> Rest(VmAddress address) const {
    for (size_t i = 0; i < count_; ++i) {
      const Area& area = areas_[i];
      // Unsigned difference: addresses below the base wrap to large offsets and fail.
      const uint32_t offset = address - area.base;
      if (offset < area.bytes.size()) return area.bytes.subspan(offset);
    }
    return {};
  }

  // Inline: scripts read and write variables in nearly every command.
  uint8_t Read8(VmAddress address) const {
    const auto at = Resolve(address, 1);
    return at.empty() ? 0 : at[0];
  }
  uint16_t Read16(VmAddress address) const {
    const auto at = Resolve(address, 2);
    return at.empty() ? 0 : bytes::LoadLe16(at, 0);
  }
  uint32_t Read32(VmAddress address) const {
    const auto at = Resolve(address, 4);
    return at.empty() ? 0 : bytes::LoadLe32(at, 0);
  }
  void Write8(VmAddress address, uint8_t value) const {
    if (const auto at = Resolve(address, 1); !at.empty()) at[0] = value;
  }
  void Write16(VmAddress address, uint16_t value) const {
    if (const auto at = Resolve(address, 2); !at.empty()) bytes::StoreLe16(at, 0, value);
  }
  void Write32(VmAddress address, uint32_t value) const {
    if (const auto at = Resolve(address, 4); !at.empty()) bytes::StoreLe32(at, 0, value);
  }

 private:
  struct Area {
    VmAddress base = 0;
    std::span<uint8_t> bytes;
  };
  std::array<Area, 5> areas_{};
  size_t count_ = 0;
};

}  // namespace tvx
