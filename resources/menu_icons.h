// The command menu's small pictures, drawn for this program: the item window (517), the check
// mark (518, 8 × 8), the load window (520) and the save window (521). Pixels are 5-5-5 with
// rows top-down; a pixel with bit 15 set is transparent (the menu shows through).
#pragma once

#include <cstdint>
#include <span>

namespace tvx {

inline constexpr uint16_t kIconItemWindow = 517;
inline constexpr uint16_t kIconCheckMark = 518;
inline constexpr uint16_t kIconLoadWindow = 520;
inline constexpr uint16_t kIconSaveWindow = 521;
inline constexpr uint16_t kIconTransparent = 0x8000;

struct MenuIcon {
  uint16_t id = 0;
  int width = 0;
  int height = 0;
  std::span<const uint16_t> pixels;  // width * height
};

// The icon with this resource id; nullptr for one the program does not have.
const MenuIcon* FindMenuIcon(uint16_t id);

}  // namespace tvx
