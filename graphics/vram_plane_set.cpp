#include "graphics/vram_plane_set.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/blitter.h"
#include "platform/platform.h"

namespace tvx {
namespace {

struct PlaneSize {
  uint16_t width;
  uint16_t height;
};
// Planes 0-7, the spare plane, the work plane. Plane 2 is never created.
constexpr std::array<PlaneSize, VramPlaneSet::kSlots> kSizes = {{{640, 480},
                                                                 {1000, 1760},
                                                                 {0, 0},
                                                                 {640, 480},
                                                                 {640, 480},
                                                                 {640, 480},
                                                                 {352, 32},
                                                                 {320, 32},
                                                                 {640, 480},
                                                                 {640, 480}}};

// The bottom strip that a presentation with overlay leaves to be repaired.
constexpr platform::Rect kStrip{0, 388, 640, 460};
// The first row of the overlay graphic's plane that the composition uses as scratch.
constexpr uint32_t kOverlayScratchRow = 316;
constexpr size_t kComposePixels = size_t{VramPlaneSet::kScreenWidth} * VramPlaneSet::kScreenHeight;

uint64_t PackRect(uint64_t left, uint64_t top, uint64_t right, uint64_t bottom) {
  return left | top << 16 | right << 32 | bottom << 48;
}

}  // namespace

// Calls the present hook when it goes out of scope, after the pixel lock it was made before.
class VramPlaneSet::Presented {
 public:
  explicit Presented(VramPlaneSet& planes, bool on = true) : planes_(planes), on_(on) {}
  Presented(const Presented&) = delete;
  Presented& operator=(const Presented&) = delete;
  ~Presented() {
    if (on_ && planes_.present_hook_) planes_.present_hook_();
  }

 private:
  VramPlaneSet& planes_;
  bool on_;
};

int VramPlaneSet::CreateAll(platform::WindowId window) {
  window_ = window;
  size_t total = 0;
  for (const auto& size : kSizes) total += size_t{size.width} * size.height;
  total += kComposePixels;
  // One block for all planes, allocated once: nothing is allocated per blit or decode.
  memory_.reset(new (std::nothrow) uint16_t[total]());
  if (!memory_) return 0;
  const std::span<uint16_t> memory(memory_.get(), total);
  size_t at = 0;
  for (size_t i = 0; i < kSizes.size(); ++i) {
    const size_t count = size_t{kSizes[i].width} * kSizes[i].height;
    planes_[i] = {memory.subspan(at, count), 0, 0, kSizes[i].width, kSizes[i].height};
    at += count;
  }
  compose_ = {memory.subspan(at, kComposePixels), 0, 0, kScreenWidth, kScreenHeight};
  return 1;
}

VramPlane& VramPlaneSet::Get(uint32_t index) {
  if (index == 0) return redirect() ? planes_[kSpareSlot] : planes_[0];
  if (index == kWorkIndex) return planes_[kWorkSlot];
  if (index < kSpareSlot && planes_[index].exists()) return planes_[index];
  none_ = {};
  return none_;
}

void VramPlaneSet::InvalidateRect(int x, int y, int w, int h) {
  platform::InvalidateRect(window_, platform::Rect{x, y, x + w, y + h});
  platform::UpdateWindow(window_);
}

void VramPlaneSet::RequestRepaint(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  auto clamp = [](int v) { return static_cast<uint64_t>(std::clamp(v, 0, 0xFFFF)); };
  const uint64_t left = clamp(x), top = clamp(y), right = clamp(x + w), bottom = clamp(y + h);
  if (right <= left || bottom <= top) return;
  uint64_t old = pending_repaint_.load(std::memory_order_acquire);
  uint64_t merged = 0;
  do {
    merged = PackRect(left, top, right, bottom);
    if (old != 0)
      merged = PackRect(std::min(left, old & 0xFFFF), std::min(top, old >> 16 & 0xFFFF),
                        std::max(right, old >> 32 & 0xFFFF), std::max(bottom, old >> 48));
  } while (!pending_repaint_.compare_exchange_weak(old, merged, std::memory_order_acq_rel));
  // The clock asks from its own thread: a loop waiting for the player carries the repaint out
  // at once instead of at its next input. One wake per repaint the pump has not taken yet.
  if (old == 0) platform::WakeIdleWait();
}

void VramPlaneSet::ApplyPendingRepaint() {
  // Called before every command: the common case, nothing pending, is a plain load.
  if (pending_repaint_.load(std::memory_order_acquire) == 0) return;
  const uint64_t r = pending_repaint_.exchange(0, std::memory_order_acq_rel);
  if (r == 0) return;
  const int left = static_cast<int>(r & 0xFFFF), top = static_cast<int>(r >> 16 & 0xFFFF);
  InvalidateRect(left, top, static_cast<int>(r >> 32 & 0xFFFF) - left,
                 static_cast<int>(r >> 48) - top);
}

void VramPlaneSet::CopyPlaneToWindow(platform::WindowId window, const VramPlane& plane,
                                     const platform::Rect& rect) {
  // The plane lies on the window at its origin: window point p shows plane point p - origin.
  const platform::Rect source{rect.left - plane.originX, rect.top - plane.originY,
                              rect.right - plane.originX, rect.bottom - plane.originY};
  platform::CopyToWindow(window, plane.View(), source, {rect.left, rect.top});
}

void VramPlaneSet::PresentRect(int x, int y, int w, int h) {
  if (!ready() || windowCovered()) return;
  const platform::Rect rect{x, y, x + w, y + h};
  if (!DirectPresentation()) {
    InvalidateRect(x, y, w, h);
    return;
  }
  Presented presented(*this);
  std::lock_guard lock(pixel_lock_);
  VramPlane& plane0 = planes_[0];
  if (overlay_active_) {
    // Compose plane 0 and the overlay in a picture of their own, and show that.
    strip_dirty_ = true;
    if (w == kScreenWidth && h == kScreenHeight) {
      std::copy(plane0.pixels.begin(), plane0.pixels.end(), compose_.pixels.begin());
    } else {
      const platform::Rect clipped = platform::Intersect(rect, {0, 0, kScreenWidth, kScreenHeight});
      for (int row = clipped.top; row < clipped.bottom; ++row)
        std::copy_n(&plane0.At(clipped.left, row), clipped.Width(),
                    &compose_.At(clipped.left, row));
    }
    const platform::Rect overlay = DrawOverlay(compose_);
    platform::CopyToWindow(window_, compose_.View(), overlay, {overlay.left, overlay.top});
    platform::CopyToWindow(window_, compose_.View(), rect, {x, y});
    return;
  }
  platform::CopyToWindow(window_, plane0.View(), rect, {x, y});
  if (strip_dirty_) {
    strip_dirty_ = false;
    platform::CopyToWindow(window_, plane0.View(), kStrip, {kStrip.left, kStrip.top});
  }
}

void VramPlaneSet::PresentPlain(int x, int y, int w, int h) {
  if (!ready() || windowCovered()) return;
  Presented presented(*this);
  std::lock_guard lock(pixel_lock_);
  platform::CopyToWindow(window_, planes_[0].View(), {x, y, x + w, y + h}, {x, y});
}

platform::Rect VramPlaneSet::DrawOverlay(VramPlane& into) {
  const Overlay& o = overlay_;
  VramPlane& graphic = Get(o.plane);
  VramPlane& background = Get(o.background);
  const uint16_t key =
      key_word_ ? static_cast<uint16_t>(key_word_[0] | key_word_[1] << 8) : uint16_t{0};
  auto low = [](uint32_t v) { return v & 0xFFFF; };
  const uint32_t sx = low(o.screenX), sy = low(o.screenY);
  // Background, then the keyed graphic over it, in the graphic plane's scratch rows; then the
  // result onto the composition. Every step is clipped to the planes it touches.
  blit::CopyRect(background, {low(o.bx), low(o.by), low(o.width), low(o.height)}, graphic, 0,
                 kOverlayScratchRow);
  blit::CopyRectKeyed(graphic, {low(o.x), low(o.y), low(o.width), low(o.height)}, graphic, 0,
                      kOverlayScratchRow, key);
  uint32_t w = low(o.width), h = low(o.height);
  blit::Clip(graphic, 0, kOverlayScratchRow, w, h);
  blit::Clip(into, sx, sy, w, h);
  blit::CopyRect(graphic, {0, kOverlayScratchRow, w, h}, into, sx, sy);
  if (w == 0 || h == 0) return {};
  return {static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(sx + w),
          static_cast<int>(sy + h)};
}

void VramPlaneSet::PaintPlane(platform::WindowId window, const platform::Rect& update,
                              uint32_t index) {
  if (!ready() || !paintable_) return;
  Presented presented(*this, index == 0 && window == window_);
  std::lock_guard lock(pixel_lock_);
  // Plane 0 is the real one here, whatever the redirect switch says.
  VramPlane& plane = index == 0 ? planes_[0] : Get(index);
  if (!plane.exists()) return;
  // The overlay and the strip belong to the game's picture, not to the views of other planes.
  const bool direct = DirectPresentation() && index == 0;
  if (direct && overlay_active_) {
    strip_dirty_ = true;
    std::copy(plane.pixels.begin(), plane.pixels.end(), compose_.pixels.begin());
    DrawOverlay(compose_);
    compose_.originX = plane.originX;
    compose_.originY = plane.originY;
    CopyPlaneToWindow(window, compose_, update);
    return;
  }
  CopyPlaneToWindow(window, plane, update);
  if (direct && strip_dirty_) {
    strip_dirty_ = false;
    platform::CopyToWindow(window, plane.View(), kStrip, {kStrip.left, kStrip.top});
  }
}

}  // namespace tvx
