// The fixed tables of the maze view: where each wall piece of the 4-bit tile sets lies, and
// which pieces make up each frame of the view at which screen positions. The view draws from
// them and the toolkit renders tile sets and views with them.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tvx::maze {

// One piece of a tile set: its size in pixels and where its bytes begin (4 bits a pixel,
// the high nibble the left one, rows from the top, width / 2 bytes a row).
struct TileDescriptor {
  uint16_t width;
  uint16_t height;
  uint32_t offset;
};

inline constexpr size_t kTileCount = 45;
// Tile set 3 uses its own descriptors, 45 on: the same pieces again.
inline constexpr size_t kTileSet3Base = 45;
// The bytes one tile set holds.
inline constexpr size_t kTileSetBytes = 966624;

inline constexpr std::array<TileDescriptor, kTileCount> kTiles = {{
    {88, 480, 0},        // 0
    {84, 440, 21120},    // 1
    {60, 312, 39600},    // 2
    {88, 432, 48960},    // 3
    {144, 432, 67968},   // 4
    {84, 312, 99072},    // 5
    {48, 312, 112176},   // 6
    {20, 312, 119664},   // 7
    {28, 480, 122784},   // 8
    {112, 480, 129504},  // 9
    {92, 368, 156384},   // 10
    {28, 480, 173312},   // 11
    {264, 480, 180032},  // 12
    {112, 368, 243392},  // 13
    {28, 368, 264000},   // 14
    {40, 368, 269152},   // 15
    {92, 208, 276512},   // 16
    {116, 480, 286080},  // 17
    {84, 412, 313920},   // 18
    {32, 268, 331224},   // 19
    {80, 412, 335512},   // 20
    {40, 412, 351992},   // 21
    {84, 412, 360232},   // 22
    {84, 260, 377536},   // 23
    {36, 260, 388456},   // 24
    {412, 480, 393136},  // 25
    {228, 408, 492016},  // 26
    {92, 296, 538528},   // 27
    {144, 420, 552144},  // 28
    {228, 480, 582384},  // 29
    {268, 288, 637104},  // 30
    {156, 256, 675696},  // 31
    {44, 232, 695664},   // 32
    {112, 224, 700768},  // 33
    {36, 224, 713312},   // 34
    {48, 240, 717344},   // 35
    {180, 288, 723104},  // 36
    {320, 104, 749024},  // 37
    {320, 168, 765664},  // 38
    {320, 104, 792544},  // 39
    {320, 168, 809184},  // 40
    {320, 104, 836064},  // 41
    {320, 168, 852704},  // 42
    {640, 104, 879584},  // 43
    {640, 168, 912864},  // 44
}};

// A tile reference: bits 0-6 the tile number, bit 7 drawn mirrored left to right.
inline constexpr uint8_t kMirrored = 0x80;

// Tiles drawn side by side from (x, 4 × y4), each starting where the one before ended.
struct Placement {
  uint16_t x;
  uint16_t y4;
  uint8_t count;
  std::array<uint8_t, 8> tiles;
};

// Frames: 0 standing, 1 the nearer frame of a step, 2 the farther, 3 and 4 the halves of a turn.
inline constexpr size_t kFrames = 5;

// Ceiling, then floor, from tile set 1.
inline constexpr std::array<std::array<Placement, 2>, kFrames> kBackground = {{
    {{{0, 0, 2, {37, 165}}, {0, 78, 2, {38, 166}}}},
    {{{0, 0, 2, {39, 167}}, {0, 78, 2, {40, 168}}}},
    {{{0, 0, 2, {41, 169}}, {0, 78, 2, {42, 170}}}},
    {{{0, 0, 1, {43}}, {0, 78, 1, {44}}}},
    {{{0, 0, 1, {171}}, {0, 78, 1, {172}}}},
}};

// A draw-list entry: the view byte that decides whether its wall is drawn, the entry to go on
// with once it was (kStop: the frame is done), and where the wall goes.
inline constexpr uint8_t kStop = 255;
struct WallEntry {
  uint8_t viewByte;
  uint8_t next;
  Placement placement;
};

inline constexpr std::array<WallEntry, 14> kWalls0 = {{
    {4, 3, {0, 0, 1, {0}}},
    {3, 3, {0, 0, 1, {131}}},
    {14, 3, {0, 13, 3, {7, 135, 134}}},
    {6, 6, {552, 0, 1, {128}}},
    {7, 6, {552, 0, 1, {3}}},
    {18, 6, {552, 13, 3, {6, 7, 135}}},
    {5, kStop, {88, 0, 4, {3, 4, 132, 131}}},
    {15, 9, {88, 0, 1, {1}}},
    {14, 9, {88, 13, 1, {133}}},
    {17, 11, {468, 0, 1, {129}}},
    {18, 11, {468, 13, 1, {5}}},
    {16, kStop, {172, 13, 6, {5, 6, 7, 135, 134, 133}}},
    {26, 13, {172, 13, 1, {2}}},
    {28, kStop, {408, 13, 1, {130}}},
}};
inline constexpr std::array<WallEntry, 19> kWalls1 = {{
    {4, 3, {0, 0, 1, {8}}},
    {3, 3, {0, 0, 1, {139}}},
    {14, 3, {0, 6, 1, {142}}},
    {6, 6, {612, 0, 1, {136}}},
    {7, 6, {612, 0, 1, {11}}},
    {18, 6, {612, 6, 1, {14}}},
    {5, kStop, {28, 0, 4, {11, 12, 140, 139}}},
    {15, 10, {28, 0, 1, {9}}},
    {14, 10, {28, 6, 1, {141}}},
    {25, 10, {48, 26, 1, {16}}},
    {17, 13, {500, 0, 1, {137}}},
    {18, 13, {500, 6, 1, {13}}},
    {29, 13, {500, 26, 1, {144}}},
    {16, kStop, {140, 6, 6, {13, 14, 15, 143, 142, 141}}},
    {26, 16, {140, 6, 1, {10}}},
    {25, 16, {140, 26, 1, {144}}},
    {28, 18, {408, 6, 1, {138}}},
    {29, 18, {408, 26, 1, {16}}},
    {27, kStop, {232, 26, 2, {16, 144}}},
}};
inline constexpr std::array<WallEntry, 14> kWalls2 = {{
    {4, 3, {0, 0, 1, {17}}},
    {3, 3, {0, 0, 2, {149, 148}}},
    {14, 3, {0, 19, 2, {151, 152}}},
    {6, 6, {524, 0, 1, {145}}},
    {7, 6, {516, 0, 2, {20, 21}}},
    {18, 6, {520, 19, 2, {24, 23}}},
    {5, kStop, {116, 0, 6, {20, 21, 22, 150, 149, 148}}},
    {15, 9, {116, 0, 1, {18}}},
    {14, 9, {116, 19, 1, {151}}},
    {17, 11, {440, 0, 1, {146}}},
    {18, 11, {440, 19, 1, {23}}},
    {16, kStop, {200, 19, 4, {23, 24, 152, 151}}},
    {26, 13, {200, 18, 1, {19}}},
    {28, kStop, {408, 18, 1, {147}}},
}};
inline constexpr std::array<WallEntry, 12> kWalls3 = {{
    {5, 6, {0, 0, 1, {25}}},
    {16, 3, {0, 16, 1, {30}}},
    {28, 3, {176, 15, 1, {27}}},
    {17, 6, {268, 0, 1, {28}}},
    {18, 6, {268, 21, 1, {31}}},
    {30, 6, {376, 24, 1, {34}}},
    {6, kStop, {412, 0, 1, {29}}},
    {7, kStop, {412, 1, 1, {26}}},
    {18, 10, {424, 23, 1, {32}}},
    {30, 10, {412, 22, 1, {35}}},
    {19, kStop, {460, 16, 1, {36}}},
    {20, kStop, {468, 24, 1, {33}}},
}};
inline constexpr std::array<WallEntry, 12> kWalls4 = {{
    {5, 6, {228, 0, 1, {153}}},
    {16, 3, {368, 16, 1, {158}}},
    {26, 3, {372, 15, 1, {155}}},
    {15, 6, {228, 0, 1, {156}}},
    {14, 6, {212, 21, 1, {159}}},
    {24, 6, {228, 24, 1, {162}}},
    {4, kStop, {0, 0, 1, {157}}},
    {3, kStop, {0, 1, 1, {154}}},
    {14, 10, {168, 23, 1, {160}}},
    {24, 10, {180, 22, 1, {163}}},
    {13, kStop, {0, 16, 1, {164}}},
    {12, kStop, {56, 24, 1, {161}}},
}};

// The draw list of each frame (the list's closing entry is its end).
inline constexpr std::array<std::span<const WallEntry>, kFrames> kDrawLists = {
    std::span<const WallEntry>(kWalls0), std::span<const WallEntry>(kWalls1),
    std::span<const WallEntry>(kWalls2), std::span<const WallEntry>(kWalls3),
    std::span<const WallEntry>(kWalls4)};

}  // namespace tvx::maze
