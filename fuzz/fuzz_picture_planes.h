// A plane for the picture fuzz targets: its pixels in the middle of a larger block, with a
// row of guard pixels before and after, so that a write just outside the plane is caught
// even where it would still land in allocated memory.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/vram_plane_set.h"

namespace tvx::fuzz {

class GuardedPlane {
 public:
  static constexpr uint16_t kGuard = 0xA5A5;

  GuardedPlane(uint16_t width, uint16_t height)
      : width_(width), height_(height), memory_(size_t{width} * (height + 2u), kGuard) {}

  // The plane, reset to its place and size (a picture may not change them, but is not
  // trusted to leave them).
  VramPlane& plane() {
    plane_ = {std::span(memory_).subspan(width_, size_t{width_} * height_), 0, 0, width_, height_};
    return plane_;
  }
  bool GuardsIntact() const {
    const auto before = std::span(memory_).first(width_);
    const auto after = std::span(memory_).last(width_);
    auto guard = [](uint16_t pixel) { return pixel == kGuard; };
    return std::all_of(before.begin(), before.end(), guard) &&
           std::all_of(after.begin(), after.end(), guard);
  }

 private:
  uint16_t width_;
  uint16_t height_;
  std::vector<uint16_t> memory_;
  VramPlane plane_;
};

}  // namespace tvx::fuzz
