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
  const size_t count = static_cast<size_t>(dst.Width());
  for (int32_t row = 0; row < dst.Height(); ++row) {
    const size_t from = static_cast<size_t>(source.height - (src.top + row) - 1) * source.width +
                        static_cast<size_t>(src.left);
    const size_t to = static_cast<size_t>(height_ - (dst.top + row) - 1) * width_ +
                      static_cast<size_t>(dst.left);
    std::memcpy(&pixels_[to], &source.pixels[from], count * sizeof(uint16_t));
  }
  MarkDirty(dst);
}

void Framebuffer::Fill(uint16_t colour) {
  std::fill(pixels_.begin(), pixels_.end(), colour);
  MarkDirty({0, 0, width_, height_});
}

void Framebuffer::MarkDirty(const Rect& rect) {
  dirty_ = Union(dirty_, Intersect(rect, {0, 0, width_, height_}));
}

}  // namespace tvx::platform
