#include "graphics/display_device.h"

#include "platform/platform.h"

namespace tvx {

bool DisplayDevice::Create(platform::WindowId window) {
  window_ = window;
  created_ = platform::IsWindow(window);
  return created_;
}

bool DisplayDevice::EnterFullscreen(int width, int height, int bits_per_pixel) {
  (void)width;
  (void)height;
  (void)bits_per_pixel;  // the picture is scaled to the desktop's own mode
  if (windowed_ || fullscreen_) return true;
  if (!created_ || !platform::SetFullscreen(window_, true)) return false;
  fullscreen_ = true;
  ++switch_count_;
  return true;
}

bool DisplayDevice::LeaveFullscreen() {
  if (!fullscreen_) return true;
  if (!platform::SetFullscreen(window_, false)) return false;
  fullscreen_ = false;
  ++switch_count_;
  return true;
}

bool DisplayDevice::SetDesktopFullscreen(bool on) {
  if (!windowed_ || !created_) return false;
  if (on == desktop_fullscreen_) return true;
  if (!platform::SetDesktopFullscreen(window_, on)) return false;
  desktop_fullscreen_ = on;
  return true;
}

void DisplayDevice::Destroy() {
  if (created_ && fullscreen_) LeaveFullscreen();
  desktop_fullscreen_ = false;
  created_ = false;
}

}  // namespace tvx
