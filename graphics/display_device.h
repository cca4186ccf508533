// The display mode: the game takes over the screen at 640 × 480 in full screen, and gives it
// back when minimized. The windowed build never switches the mode; its full screen is the
// window laid over the whole desktop, the picture scaled with its aspect kept.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace tvx {

class DisplayDevice {
 public:
  explicit DisplayDevice(bool windowed) : windowed_(windowed) {}
  DisplayDevice(const DisplayDevice&) = delete;
  DisplayDevice& operator=(const DisplayDevice&) = delete;
  ~DisplayDevice() { Destroy(); }

  bool Create(platform::WindowId window);
  bool EnterFullscreen(int width, int height, int bits_per_pixel);
  bool LeaveFullscreen();
  void Destroy();
  // The windowed build's full screen, on or off; false when the window cannot do it (and the
  // full-screen build, which has the display mode for that).
  bool SetDesktopFullscreen(bool on);

  bool fullscreen() const { return fullscreen_; }
  bool windowed() const { return windowed_; }
  bool desktopFullscreen() const { return desktop_fullscreen_; }
  // The picture fills the screen now, by either way.
  bool fullscreenInUse() const { return fullscreen_ || desktop_fullscreen_; }
  // How many times the display mode was actually switched (either way).
  uint32_t switch_count() const { return switch_count_; }

 private:
  bool windowed_;
  bool created_ = false;
  platform::WindowId window_ = platform::kNoWindow;
  bool fullscreen_ = false;
  bool desktop_fullscreen_ = false;
  uint32_t switch_count_ = 0;
};

}  // namespace tvx
