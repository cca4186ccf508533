// The client-area picture of a window, in the engine's pixel format and row order, with the
// rectangle changed since it was last shown.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/types.h"

namespace tvx::platform {

class Framebuffer {
 public:
  void Resize(int32_t width, int32_t height);
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Rows bottom-up: row y starts at (height - y - 1) * width.
  std::span<const uint16_t> pixels() const { return pixels_; }
  std::span<uint16_t> pixels() { return pixels_; }
  PixelView View() const { return {pixels_, width_, height_}; }
  uint16_t At(int32_t x, int32_t y) const {
    return pixels_[static_cast<size_t>(height_ - y - 1) * width_ + x];
  }

  // Copies `source_rect` of `source` to (dest_x, dest_y), clipped to both pictures. Pixels
  // under a cover are left alone.
  void CopyFrom(const PixelView& source, Rect source_rect, int32_t dest_x, int32_t dest_y);
  // Parts of the picture that something drawn on top of the window owns (an open menu or
  // dialog): CopyFrom skips them, so the game's picture goes on changing around them.
  void SetCovers(std::span<const Rect> covers);
  const std::vector<Rect>& covers() const { return covers_; }
  // Draws a picture whose rows are stored top-down at (x, y), over any cover.
  void DrawOver(std::span<const uint16_t> top_down, int32_t width, int32_t height, int32_t x,
                int32_t y);
  void Fill(uint16_t colour);
  void MarkDirty(const Rect& rect);
  // A flag that every MarkDirty sets, so that the owner can tell at a glance that something
  // changed since it last looked.
  void WatchMarks(bool* flag) { marked_ = flag; }
  const Rect& dirty() const { return dirty_; }
  void ClearDirty() { dirty_ = {}; }

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  void CopyRow(const uint16_t* from, int32_t x, int32_t y, int32_t count);

  std::vector<uint16_t> pixels_;
  std::vector<Rect> covers_;
  Rect dirty_;
  bool* marked_ = nullptr;
};

}  // namespace tvx::platform
