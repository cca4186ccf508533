#include "resources/menu_icons.h"

#include <array>
#include <string_view>

namespace tvx {
namespace {

// Pixel art, one character per pixel.
constexpr uint16_t Colour(char c) {
  switch (c) {
    case 'k':
      return 0x0000;  // black
    case 'w':
      return 0x7FFF;  // white
    case 'g':
      return 0x6318;  // light grey
    case 'd':
      return 0x4210;  // dark grey
    case 'b':
      return 0x0018;  // blue
    case 'n':
      return 0x0010;  // navy
    case 'y':
      return 0x7F60;  // yellow
    case 'o':
      return 0x4D05;  // brown
    case 'r':
      return 0x5CE7;  // light brown
    default:
      return kIconTransparent;
  }
}

template <int W, int H>
struct Art {
  std::array<uint16_t, W * H> pixels{};
  bool whole = true;  // every row has W pixels
  constexpr explicit Art(const std::array<std::string_view, H>& rows) {
    for (int y = 0; y < H; ++y) {
      if (rows[y].size() != W) whole = false;
      for (int x = 0; x < W && x < static_cast<int>(rows[y].size()); ++x)
        pixels[y * W + x] = Colour(rows[y][x]);
    }
  }
};

// A chest: the item window.
constexpr Art<16, 16> kItemWindow({
    "................",
    "................",
    "...kkkkkkkkkk...",
    "..krrrrrrrrrrk..",
    ".krrrrrrrrrrrrk.",
    ".kooooooooooook.",
    ".kkkkkkkkkkkkkk.",
    ".kroookyykooork.",
    ".kroookyykooork.",
    ".kroooookooooork",
    ".kroooooooooork.",
    ".kroooooooooork.",
    ".kroooooooooork.",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
});

constexpr Art<8, 8> kCheckMark({
    ".......k",
    "......kk",
    "k....kk.",
    "kk..kk..",
    ".kkkk...",
    "..kk....",
    "........",
    "........",
});

// An open folder: the load window.
constexpr Art<16, 16> kLoadWindow({
    "................",
    "................",
    ".kkkk...........",
    "kyyyyk..........",
    "kyyyyykkkkkkk...",
    "kyyyyyyyyyyyyk..",
    "kyyykkkkkkkkkkkk",
    "kyykyyyyyyyyyyyk",
    "kyykyyyyyyyyyyk.",
    "kykyyyyyyyyyyyk.",
    "kykyyyyyyyyyyk..",
    "kkyyyyyyyyyyyk..",
    "kkkkkkkkkkkkk...",
    "................",
    "................",
    "................",
});

// A floppy disk: the save window.
constexpr Art<16, 16> kSaveWindow({
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwddddddwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwddddddwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbbkkkkkkkkbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbgggggggbbbk.",
    ".kbbggkkgggbbbk.",
    ".kbbggkkgggbbbk.",
    ".kbbggkkgggbbbk.",
    "..kkkkkkkkkkkkk.",
    "................",
});

static_assert(kItemWindow.whole && kCheckMark.whole && kLoadWindow.whole && kSaveWindow.whole,
              "an icon row of the wrong length");

const std::array<MenuIcon, 4> kIcons = {{
    {kIconItemWindow, 16, 16, kItemWindow.pixels},
    {kIconCheckMark, 8, 8, kCheckMark.pixels},
    {kIconLoadWindow, 16, 16, kLoadWindow.pixels},
    {kIconSaveWindow, 16, 16, kSaveWindow.pixels},
}};

}  // namespace

const MenuIcon* FindMenuIcon(uint16_t id) {
  for (const MenuIcon& icon : kIcons)
    if (icon.id == id) return &icon;
  return nullptr;
}

}  // namespace tvx
