// The picture planes and their presentation on the main window.
//
// Stand-in until the planes and blits are built: only plane 0 exists, black, and presenting
// copies it to the window.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace tvx {

class VramPlaneSet {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  int CreateAll(platform::WindowId window);
  bool ready() const { return !plane0_.empty(); }
  platform::PixelView Plane0() const { return {plane0_, kWidth, kHeight}; }
  // Brings a rectangle of plane 0 onto the window (through its paint handler).
  void PresentRect(int x, int y, int w, int h);
  // The main window's paint handler: copies plane 0 for the update rectangle.
  void PaintPlane(platform::WindowId window, const platform::Rect& update);

 private:
  platform::WindowId window_ = platform::kNoWindow;
  std::vector<uint16_t> plane0_;
};

}  // namespace tvx
