#include "graphics/graphics_engine.h"

#include <algorithm>
#include <mutex>

#include "graphics/blitter.h"
#include "graphics/transitions.h"

namespace tvx {

void GraphicsEngine::Initialise(int32_t bg_type) {
  bg_type_ = bg_type;
  glyphs_.Initialise();
}

void GraphicsEngine::DrawGlyph(VramPlane& plane, uint16_t code, int x, int y, uint16_t style,
                               bool outline) {
  std::lock_guard lock(planes_.pixelLock());
  glyphs_.Draw(plane, code, x, y, style, outline);
}

void GraphicsEngine::Blit(const BlitRequest& r) {
  auto low = [](uint32_t v) { return v & 0xFFFF; };
  const blit::Rect16 rect{low(r.x), low(r.y), low(r.width), low(r.height)};
  VramPlane& source = planes_.Get(r.plane);
  VramPlane& to = planes_.Get(r.to.plane);
  const uint32_t tx = low(r.to.x), ty = low(r.to.y);
  // The transitions show their frames as they go: they take the pixel lock per frame.
  if (r.op == kDissolve) {
    Dissolve(source, rect, to, tx, ty);
    return;
  }
  if (r.op == kCrossFade) {
    transition::CrossFade(
        source, rect, to, tx, ty, planes_.Get(r.out.plane), low(r.out.x), low(r.out.y),
        planes_.pixelLock(), [this] { return waiter_.SkipHeld(); }, [this] { RepaintWindow(); });
    return;
  }
  std::lock_guard lock(planes_.pixelLock());
  switch (r.op) {
    case kCopyRect:
      blit::CopyRect(source, rect, to, tx, ty);
      break;
    case kCopyRectKeyed:
      blit::CopyRectKeyed(source, rect, to, tx, ty, r.colour);
      break;
    case kFillRect:
      blit::FillRect(source, rect, r.colour);
      break;
    case kSwapRect:
      blit::SwapRect(source, rect, to, tx, ty, scratch_row_);
      break;
    case kToggleColour:
      blit::ToggleColour(source, rect, r.colour, r.colour2);
      break;
    case kComposite:
      blit::Composite(source, rect, to, tx, ty, planes_.Get(r.out.plane), low(r.out.x),
                      low(r.out.y), r.colour, scratch_row_);
      break;
    default:
      break;
  }
}

bool GraphicsEngine::LoadPicture(std::span<const uint8_t> file, VramPlane& plane) {
  std::lock_guard lock(planes_.pixelLock());
  return loader_.Load(file, plane, g16());
}

void GraphicsEngine::Dissolve(const VramPlane& source, blit::Rect16 from, VramPlane& dest,
                              uint32_t dx, uint32_t dy) {
  transition::Dissolve(source, from, dest, dx, dy, planes_.pixelLock(),
                       [this] { RepaintWindow(); });
}

void GraphicsEngine::RepaintWindow() {
  repaints_.fetch_add(1, std::memory_order_acq_rel);
  planes_.InvalidateRect(0, 0, VramPlaneSet::kScreenWidth, VramPlaneSet::kScreenHeight);
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
    std::lock_guard lock(planes_.pixelLock());
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
    std::lock_guard lock(planes_.pixelLock());
    // The waiting side may have ended the fade since the look above.
    if (fade_active_.load(std::memory_order_acquire) == 0) return 0;
    shown = fade_shown_;
    if (fade_kind_ == FadeKind::kChannel) {
      going_on =
          transition::ChannelFadeStep(*fade_target_, *shown, fade_mode_ != 0, fade_threshold_);
      // Stops at 0 rather than wrapping, so that brightening never stalls.
      if (fade_threshold_ > 0) --fade_threshold_;
    } else {
      ++blend_step_;
      const VramPlane old{blend_old_, shown->originX, shown->originY, shown->width, shown->height};
      transition::CrossFadeMix(*fade_target_, old, *shown, blend_step_, blend_steps_);
      going_on = blend_step_ < blend_steps_;
    }
    fade_steps_.fetch_add(1, std::memory_order_acq_rel);
    if (!going_on) fade_active_.store(0, std::memory_order_release);
  }
  // The window is the program thread's: the pump carries the repaint out.
  repaints_.fetch_add(1, std::memory_order_acq_rel);
  planes_.RequestRepaint(shown->originX, shown->originY, shown->width, shown->height);
  return going_on ? 1 : 0;
}

void GraphicsEngine::WaitFade() {
  // Shift is looked at after each turn of the pump, once a step has been taken.
  bool pumped = false;
  WaitUntil(waiter_, [&] {
    if (pumped && fadeSteps() > 0 && waiter_.SkipHeld()) return true;
    pumped = true;
    return !fadeActive();
  });
  std::lock_guard lock(planes_.pixelLock());
  if (fade_active_.exchange(0, std::memory_order_acq_rel) != 0 && fade_kind_ == FadeKind::kBlend)
    blit::CopyRect(*fade_target_, {0, 0, fade_shown_->width, fade_shown_->height}, *fade_shown_, 0,
                   0);
}

}  // namespace tvx
