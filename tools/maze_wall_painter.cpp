#include "tools/maze_wall_painter.h"

#include <algorithm>
#include <cmath>

#include "graphics/dungeon_tables.h"
#include "tools/maze_tile_set.h"
#include "tools/maze_view_camera.h"

namespace tvx::tool::maze {
namespace {

// The background pieces: the ceiling down to row 104, the floor from row 312; the engine
// leaves the rows between black, the dark far down the corridor.
constexpr double kCeilingEnd = 104;
constexpr double kFloorStart = 312;
constexpr double kScreenHeight = 480;
// How bright the ceiling and the floor are next to the dark, and at the screen's edge.
constexpr float kFarLight = 0.2f;
// Walls are lit by the walker's lamp: full at a cell's width of 450 pixels and nearer,
// dimmer further off; walls along the view are a little darker than those across it.
constexpr double kLampPixels = 450;
constexpr double kLeastLight = 0.3;
constexpr double kAlongLight = 0.8;
// The ordered dither's 4 × 4 threshold pattern, and how far it moves a channel (5-bit).
constexpr std::array<std::array<int, 4>, 4> kBayer = {
    {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}}};
constexpr float kDitherSpread = 3.0f;

Colour Scaled(const Colour& colour, double factor) {
  return {static_cast<float>(colour[0] * factor), static_cast<float>(colour[1] * factor),
          static_cast<float>(colour[2] * factor)};
}

}  // namespace

Colour ColourOf(uint16_t pixel) {
  return {static_cast<float>(pixel >> 10 & 31), static_cast<float>(pixel >> 5 & 31),
          static_cast<float>(pixel & 31)};
}

WallPainter::WallPainter(const Picture555& texture, const WallLook& look, const Palette& palette)
    : texture_(texture), look_(look), palette_(palette) {}

Colour WallPainter::Background(double row) const {
  if (row < kCeilingEnd) {
    const double t = row / kCeilingEnd;
    return Scaled(look_.ceiling, 1 - (1 - kFarLight) * t);
  }
  if (row >= kFloorStart) {
    const double t = (row - kFloorStart) / (kScreenHeight - kFloorStart);
    return Scaled(look_.floor, kFarLight + (1 - kFarLight) * t);
  }
  return {0, 0, 0};
}

Colour WallPainter::PixelAt(size_t number, int x, int y) const {
  const PiecePlace& place = PiecePlaces()[number];
  const double px = x + 0.5;
  const double py = y + 0.5;
  if (place.background) return Background(py);
  const WallEntry& entry = kDrawLists[place.frame][place.entry];
  const auto wall = ViewCamera::Wall(place.frame, entry.viewByte);
  if (!wall || px < wall->left || px >= wall->right) return Background(py);
  const double w = wall->W(px);
  const double top = ViewCamera::Top(place.frame, w);
  const double bottom = ViewCamera::Bottom(place.frame, w);
  if (py < top || py >= bottom) return Background(py);
  const double u = std::clamp(wall->U(px), 0.0, 1.0);
  const double v = (py - top) / (bottom - top);
  const uint32_t tx = std::min(static_cast<uint32_t>(u * texture_.width), texture_.width - 1);
  const uint32_t ty = std::min(static_cast<uint32_t>(v * texture_.height), texture_.height - 1);
  double light = std::clamp(
      kLeastLight + (1 - kLeastLight) * ViewCamera::CellPixels(w) / kLampPixels, kLeastLight, 1.0);
  if (wall->along) light *= kAlongLight;
  return Scaled(ColourOf(texture_.At(tx, ty)), light);
}

std::vector<uint8_t> WallPainter::Piece(size_t number) const {
  const TileDescriptor& tile = kTiles[number];
  const PiecePlace& place = PiecePlaces()[number];
  std::vector<uint8_t> indices;
  indices.reserve(size_t{tile.width} * tile.height);
  for (int row = 0; row < tile.height; ++row) {
    for (int column = 0; column < tile.width; ++column) {
      const int x = place.x + column;
      const int y = place.y + row;
      Colour colour = PixelAt(number, x, y);
      if (look_.dither) {
        const float shift =
            (static_cast<float>(kBayer[static_cast<size_t>(y) % 4][static_cast<size_t>(x) % 4]) +
             0.5f) /
                16.0f -
            0.5f;
        for (float& channel : colour) channel += shift * kDitherSpread;
      }
      indices.push_back(NearestEntry(palette_, colour[0], colour[1], colour[2]));
    }
  }
  return indices;
}

Picture555 WallPainter::PieceColours(size_t number) const {
  const TileDescriptor& tile = kTiles[number];
  const PiecePlace& place = PiecePlaces()[number];
  Picture555 picture{tile.width, tile.height, {}};
  for (int row = 0; row < tile.height; ++row) {
    for (int column = 0; column < tile.width; ++column) {
      const Colour colour = PixelAt(number, place.x + column, place.y + row);
      const auto level = [](float v) {
        return std::clamp(static_cast<int>(std::lround(v)), 0, 31);
      };
      picture.pixels.push_back(
          static_cast<uint16_t>(level(colour[0]) << 10 | level(colour[1]) << 5 | level(colour[2])));
    }
  }
  return picture;
}

}  // namespace tvx::tool::maze
