#include "graphics/vram_plane_set.h"

#include "platform/platform.h"

namespace tvx {

int VramPlaneSet::CreateAll(platform::WindowId window) {
  window_ = window;
  plane0_.assign(static_cast<size_t>(kWidth) * kHeight, 0);
  return 1;
}

void VramPlaneSet::PresentRect(int x, int y, int w, int h) {
  platform::InvalidateRect(window_, platform::Rect{x, y, x + w, y + h});
  platform::UpdateWindow(window_);
}

void VramPlaneSet::PaintPlane(platform::WindowId window, const platform::Rect& update) {
  if (!ready()) return;
  platform::CopyToWindow(window, Plane0(), update, {update.left, update.top});
}

}  // namespace tvx
