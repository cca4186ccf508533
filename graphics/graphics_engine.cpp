#include "graphics/graphics_engine.h"

#include <algorithm>
#include <mutex>

#include "app/game_system.h"
#include "app/pump.h"
#include "graphics/blitter.h"
#include "graphics/transitions.h"

namespace tvx {

void GraphicsEngine::Initialise() {
  bg_type_ = settings_.ReadInt("GRAPHICS", "bBGTYPE", 0);
  glyphs_.Initialise();
}

void GraphicsEngine::DrawGlyph(VramPlane& plane, uint16_t code, int x, int y, uint16_t style) {
  std::lock_guard lock(system_.planes().pixelLock());
  glyphs_.Draw(plane, code, x, y, style);
}

void GraphicsEngine::Blit(uint32_t op, const BlitParams& p) {
  VramPlaneSet& planes = system_.planes();
  auto low = [&](int i) { return p[static_cast<size_t>(i)] & 0xFFFF; };
  auto plane = [&](int i) -> VramPlane& { return planes.Get(p[static_cast<size_t>(i)]); };
  const blit::Rect16 rect{low(1), low(2), low(3), low(4)};
  // The transitions show their frames as they go: they take the pixel lock per frame.
  if (op == kDissolve) {
    Dissolve(plane(5), rect, plane(8), low(6), low(7));
    return;
  }
  if (op == kCrossFade) {
    transition::CrossFade(
        plane(5), rect, plane(8), low(6), low(7), plane(11), low(9), low(10), planes.pixelLock(),
        [this] { return system_.mainWindow().QueryInput(MainWindow::kShift) != 0; },
        [this] { RepaintWindow(); });
    return;
  }
  std::lock_guard lock(planes.pixelLock());
  switch (op) {
    case kCopyRect:
      blit::CopyRect(plane(5), rect, plane(8), low(6), low(7));
      break;
    case kCopyRectKeyed:
      blit::CopyRectKeyed(plane(5), rect, plane(8), low(6), low(7),
                          static_cast<uint16_t>(p[12]));
      break;
    case kFillRect:
      blit::FillRect(plane(5), rect, static_cast<uint16_t>(p[12]));
      break;
    case kSwapRect:
      blit::SwapRect(plane(5), rect, plane(8), low(6), low(7), scratch_row_);
      break;
    case kToggleColour:
      blit::ToggleColour(plane(5), rect, static_cast<uint16_t>(p[12]),
                         static_cast<uint16_t>(p[13]));
      break;
    case kComposite:
      blit::Composite(plane(5), rect, plane(8), low(6), low(7), plane(11), low(9), low(10),
                      static_cast<uint16_t>(p[12]), scratch_row_);
      break;
    default:
      break;
  }
}

bool GraphicsEngine::LoadPicture(std::span<const uint8_t> file, VramPlane& plane) {
  std::lock_guard lock(system_.planes().pixelLock());
  return loader_.Load(file, plane, g16());
}

void GraphicsEngine::Dissolve(const VramPlane& source, blit::Rect16 from, VramPlane& dest,
                              uint32_t dx, uint32_t dy) {
  transition::Dissolve(source, from, dest, dx, dy, system_.planes().pixelLock(),
                       [this] { RepaintWindow(); });
}

void GraphicsEngine::RepaintWindow() {
  repaints_.fetch_add(1, std::memory_order_acq_rel);
  system_.planes().InvalidateRect(0, 0, VramPlaneSet::kScreenWidth, VramPlaneSet::kScreenHeight);
}

void GraphicsEngine::StartChannelFade(const VramPlane& target, VramPlane& shown, bool darken) {
  fade_target_ = &target;
  fade_shown_ = &shown;
  fade_mode_ = darken ? 1 : 0;
  fade_threshold_ = 31;
  fade_kind_ = FadeKind::kChannel;
  fade_steps_.store(0, std::memory_order_relaxed);
  fade_active_.store(1, std::memory_order_release);
}

void GraphicsEngine::StartBlendFade(const VramPlane& fresh, VramPlane& shown, uint32_t steps) {
  {
    std::lock_guard lock(system_.planes().pixelLock());
    blend_old_.assign(shown.pixels.begin(), shown.pixels.end());
  }
  fade_target_ = &fresh;
  fade_shown_ = &shown;
  fade_kind_ = FadeKind::kBlend;
  blend_steps_ = std::max<uint32_t>(steps, 1);
  blend_step_ = 0;
  fade_steps_.store(0, std::memory_order_relaxed);
  fade_active_.store(1, std::memory_order_release);
}

uint32_t GraphicsEngine::FadeStep() {
  if (fade_active_.load(std::memory_order_acquire) == 0) return 0;
  VramPlane* shown = nullptr;
  bool going_on = false;
  {
    std::lock_guard lock(system_.planes().pixelLock());
    // The waiting side may have ended the fade since the look above.
    if (fade_active_.load(std::memory_order_acquire) == 0) return 0;
    shown = fade_shown_;
    if (fade_kind_ == FadeKind::kChannel) {
      going_on = transition::ChannelFadeStep(*fade_target_, *shown, fade_mode_ != 0,
                                             fade_threshold_);
      // Stops at 0 rather than wrapping, so that brightening never stalls.
      if (fade_threshold_ > 0) --fade_threshold_;
    } else {
      ++blend_step_;
      const VramPlane old{blend_old_, shown->originX, shown->originY, shown->width,
                          shown->height};
      transition::CrossFadeMix(*fade_target_, old, *shown, blend_step_, blend_steps_);
      going_on = blend_step_ < blend_steps_;
    }
    fade_steps_.fetch_add(1, std::memory_order_acq_rel);
    if (!going_on) fade_active_.store(0, std::memory_order_release);
  }
  // The window is the program thread's: the pump carries the repaint out.
  repaints_.fetch_add(1, std::memory_order_acq_rel);
  system_.RequestRepaint(shown->originX, shown->originY, shown->width, shown->height);
  return going_on ? 1 : 0;
}

void GraphicsEngine::WaitFade() {
  MainWindow& window = system_.mainWindow();
  while (fadeActive()) {
    if (!PumpOnceWaiting()) break;
    if (fadeSteps() > 0 && window.QueryInput(MainWindow::kShift)) break;
  }
  std::lock_guard lock(system_.planes().pixelLock());
  if (fade_active_.exchange(0, std::memory_order_acq_rel) != 0 && fade_kind_ == FadeKind::kBlend)
    blit::CopyRect(*fade_target_, {0, 0, fade_shown_->width, fade_shown_->height}, *fade_shown_,
                   0, 0);
}

}  // namespace tvx
