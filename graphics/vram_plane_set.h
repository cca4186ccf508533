// The picture planes: every drawing of the engine happens in software on these 16-bit 5-5-5
// pictures, kept bottom-up in memory (row y starts at (height - y - 1) * width), and plane 0
// is what the window shows.
//
//   index  size         role
//   0      640 × 480    the shown picture (the spare plane stands in while redirected)
//   1      1000 × 1760  off-screen
//   2      —            never created: no pixels; operations given it do nothing
//   3-5    640 × 480    off-screen
//   6      352 × 32     off-screen
//   7      320 × 32     off-screen (the item bar)
//   spare  640 × 480    index 0 while the redirect switch is on
//   8      640 × 480    the work plane (scratch of screen updates and views)
//
// Besides these, one more picture of screen size that nobody names: where the overlay is
// composed over plane 0 on its way to the window, so that no plane's pixels change for it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/types.h"

namespace tvx {

// The overlay that direct presentation composes over plane 0: the background block of one
// plane with a keyed graphic of another over it, at a point of the screen. The graphic's
// plane lends its rows from 316 on as the scratch space of the composition.
struct Overlay {
  uint32_t plane = 0;  // the graphic's plane
  uint32_t x = 0, y = 0;
  uint32_t width = 0, height = 0;
  uint32_t background = 0;  // the background's plane
  uint32_t bx = 0, by = 0;
  uint32_t screenX = 0, screenY = 0;
};

struct VramPlane {
  std::span<uint16_t> pixels;  // empty when the plane does not exist
  uint16_t originX = 0;
  uint16_t originY = 0;
  uint16_t width = 0;
  uint16_t height = 0;

  bool exists() const { return !pixels.empty(); }
  size_t RowOffset(uint32_t y) const { return (size_t{height} - y - 1) * width; }
  uint16_t& At(uint32_t x, uint32_t y) { return pixels[RowOffset(y) + x]; }
  const uint16_t& At(uint32_t x, uint32_t y) const { return pixels[RowOffset(y) + x]; }
  platform::PixelView View() const { return {pixels, width, height}; }
};

class VramPlaneSet {
 public:
  static constexpr int kSlots = 10;  // planes 0-7, the spare plane, the work plane
  static constexpr int kSpareSlot = 8;
  static constexpr int kWorkSlot = 9;
  static constexpr int kWorkIndex = 8;  // how requests name the work plane
  static constexpr uint16_t kScreenWidth = 640;
  static constexpr uint16_t kScreenHeight = 480;

  VramPlaneSet() = default;
  VramPlaneSet(const VramPlaneSet&) = delete;
  VramPlaneSet& operator=(const VramPlaneSet&) = delete;

  // Makes every plane (black). 0 when memory for them cannot be had.
  int CreateAll(platform::WindowId window);
  bool ready() const { return memory_ != nullptr; }
  // The window the planes are shown in.
  platform::WindowId window() const { return window_; }
  // The window's paint handler shows the planes once the drawing side is ready too.
  void SetPaintable(bool on) { paintable_ = on; }
  bool paintable() const { return paintable_; }
  // While something else covers the whole window (a debug view), the game's presentations
  // do not reach it; the window is repainted from plane 0 when it is uncovered.
  void SetWindowCovered(bool on) { covered_.store(on, std::memory_order_relaxed); }
  bool windowCovered() const { return covered_.load(std::memory_order_relaxed); }
  // The script's flag byte that asks for direct presentation with the overlay (flag 2007);
  // until it is given, presentation goes through the window's paint handler.
  void SetDirectPresentationFlag(const uint8_t& flag) { direct_flag_ = &flag; }
  bool directPresentation() const { return DirectPresentation(); }
  // The script's key colour word (little-endian), read whenever the overlay is composed.
  void SetKeyColourWord(std::span<const uint8_t, 2> word) { key_word_ = word.data(); }

  // The plane a request names: 0 is the spare plane while redirected, 8 the work plane.
  // Any other number, and plane 2, give a plane without pixels.
  VramPlane& Get(uint32_t index);
  VramPlane& Plane0() { return planes_[0]; }
  VramPlane& Spare() { return planes_[kSpareSlot]; }
  VramPlane& Work() { return planes_[kWorkSlot]; }
  // The redirect switch; the clock thread reads it when it draws animation frames.
  void SetRedirect(bool on) { redirect_.store(on, std::memory_order_relaxed); }
  bool redirect() const { return redirect_.load(std::memory_order_relaxed); }

  // Brings a rectangle of plane 0 onto the window: through the window's paint handler, or
  // (flag 2007) straight, composing the overlay when one is active.
  void PresentRect(int x, int y, int w, int h);
  // Copies a rectangle of plane 0 straight onto the window, without the overlay, whatever
  // the presentation flag says.
  void PresentPlain(int x, int y, int w, int h);
  // Invalidates a rectangle of the main window and has it painted at once.
  void InvalidateRect(int x, int y, int w, int h);
  // Any thread: asks for a rectangle of the window to be repainted from plane 0. Requests
  // made before the pump applies them are merged into one rectangle.
  void RequestRepaint(int x, int y, int w, int h);
  // Program thread (the pump): carries out the repaint asked for, if any.
  void ApplyPendingRepaint();

  // The overlay composed over plane 0 on its way to the window in direct presentation, and
  // the bottom strip that such a presentation leaves to be repaired by the next one without.
  void SetOverlay(const Overlay& overlay) { overlay_ = overlay; }
  const Overlay& overlay() const { return overlay_; }
  void SetOverlayActive(bool on) { overlay_active_ = on; }
  bool overlayActive() const { return overlay_active_; }
  // Composes the overlay into `into` (its background block with the keyed graphic over it, at
  // its screen point); the rectangle of `into` it covers, clipped to both planes.
  platform::Rect DrawOverlay(VramPlane& into);
  bool stripDirty() const { return strip_dirty_; }
  // The main window's paint handler (and the plane views): copies the plane for `update`.
  void PaintPlane(platform::WindowId window, const platform::Rect& update, uint32_t index = 0);

  // Called on the program thread after every presentation has reached the main window (a
  // refreshed rectangle, a repaint, a straight copy), for tools that record what was shown.
  void SetPresentHook(std::function<void()> hook) { present_hook_ = std::move(hook); }

  // Held while plane pixels are written, or read for presentation, by any thread.
  std::mutex& pixelLock() { return pixel_lock_; }

 private:
  class Presented;
  void CopyPlaneToWindow(platform::WindowId window, const VramPlane& plane,
                         const platform::Rect& rect);
  bool DirectPresentation() const { return direct_flag_ != nullptr && *direct_flag_ != 0; }

  platform::WindowId window_ = platform::kNoWindow;
  std::unique_ptr<uint16_t[]> memory_;
  std::array<VramPlane, kSlots> planes_{};
  VramPlane none_{};
  VramPlane compose_{};  // where the overlay is composed over plane 0
  std::atomic<bool> redirect_{false};
  bool paintable_ = false;
  std::atomic<bool> covered_{false};
  const uint8_t* direct_flag_ = nullptr;
  const uint8_t* key_word_ = nullptr;
  Overlay overlay_{};
  bool overlay_active_ = false;
  bool strip_dirty_ = false;
  // Left, top, right, bottom in 16 bits each; 0 when nothing is pending.
  std::atomic<uint64_t> pending_repaint_{0};
  std::mutex pixel_lock_;
  std::function<void()> present_hook_;
};

}  // namespace tvx
