#include "platform/framebuffer.h"

#include <algorithm>
#include <cstring>

namespace tvx::platform {

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  return r.Empty() ? Rect{} : r;
}

void Framebuffer::Resize(int32_t width, int32_t height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<size_t>(width_) * height_, 0);
  covers_.clear();
  dirty_ = {0, 0, width_, height_};
}

void Framebuffer::CopyFrom(const PixelView& source, Rect source_rect, int32_t dest_x,
                           int32_t dest_y) {
  // Clip the source rectangle to the source picture, moving the destination along.
  Rect src = Intersect(source_rect, {0, 0, source.width, source.height});
  if (src.Empty()) return;
  dest_x += src.left - source_rect.left;
  dest_y += src.top - source_rect.top;
  // Then clip the destination to this picture, moving the source along.
  Rect dst = Intersect({dest_x, dest_y, dest_x + src.Width(), dest_y + src.Height()},
                       {0, 0, width_, height_});
  if (dst.Empty()) return;
  src.left += dst.left - dest_x;
  src.top += dst.top - dest_y;
  if (source.pixels.size() < static_cast<size_t>(source.width) * source.height) return;
  // Without covers every row is one move (the common case: each repaint of the game).
  const bool uncovered = covers_.empty();
  const auto bytes = static_cast<size_t>(dst.Width()) * sizeof(uint16_t);
  for (int32_t row = 0; row < dst.Height(); ++row) {
    const uint16_t* from =
        source.pixels.data() +
        (static_cast<size_t>(source.height - (src.top + row) - 1) * source.width +
         static_cast<size_t>(src.left));
    if (uncovered)
      std::memcpy(pixels_.data() + (static_cast<size_t>(height_ - (dst.top + row) - 1) * width_ +
                                    static_cast<size_t>(dst.left)),
                  from, bytes);
    else
      CopyRow(from, dst.left, dst.top + row, dst.Width());
  }
  MarkDirty(dst);
}

void Framebuffer::CopyRow(const uint16_t* from, int32_t x, int32_t y, int32_t count) {
  uint16_t* to = &pixels_[static_cast<size_t>(height_ - y - 1) * width_];
  if (covers_.empty()) {
    std::memcpy(to + x, from, static_cast<size_t>(count) * sizeof(uint16_t));
    return;
  }
  // Copy the runs of the row that no cover holds.
  int32_t at = x;
  const int32_t end = x + count;
  while (at < end) {
    int32_t run_end = end;
    bool covered = false;
    for (const Rect& cover : covers_) {
      if (y < cover.top || y >= cover.bottom || cover.right <= at || cover.left >= run_end)
        continue;
      if (cover.left <= at) {
        covered = true;
        run_end = std::min(run_end, cover.right);
      } else {
        run_end = cover.left;
      }
    }
    if (covered) {
      // Skip to the end of the cover that holds `at`, checking the others again from there.
      at = run_end;
      continue;
    }
    std::memcpy(to + at, from + (at - x), static_cast<size_t>(run_end - at) * sizeof(uint16_t));
    at = run_end;
  }
}

void Framebuffer::SetCovers(std::span<const Rect> covers) {
  covers_.clear();
  for (const Rect& cover : covers) {
    const Rect r = Intersect(cover, {0, 0, width_, height_});
    if (!r.Empty()) covers_.push_back(r);
  }
}

void Framebuffer::DrawOver(std::span<const uint16_t> top_down, int32_t width, int32_t height,
                           int32_t x, int32_t y) {
  if (width <= 0 || height <= 0 || top_down.size() < static_cast<size_t>(width) * height) return;
  const Rect dst = Intersect({x, y, x + width, y + height}, {0, 0, width_, height_});
  if (dst.Empty()) return;
  for (int32_t row = dst.top; row < dst.bottom; ++row) {
    const uint16_t* from =
        &top_down[static_cast<size_t>(row - y) * width + static_cast<size_t>(dst.left - x)];
    uint16_t* to = &pixels_[static_cast<size_t>(height_ - row - 1) * width_ + dst.left];
    std::memcpy(to, from, static_cast<size_t>(dst.Width()) * sizeof(uint16_t));
  }
  MarkDirty(dst);
}

void Framebuffer::Fill(uint16_t colour) {
  std::fill(pixels_.begin(), pixels_.end(), colour);
  MarkDirty({0, 0, width_, height_});
}

void Framebuffer::MarkDirty(const Rect& rect) {
  dirty_ = Union(dirty_, Intersect(rect, {0, 0, width_, height_}));
  if (marked_) *marked_ = true;
}

}  // namespace tvx::platform
