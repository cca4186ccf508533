// Gradual changes of the shown picture: the ordered dissolve (blit 5), the cross-fade
// (blit 7), the channel fade stepped by the 15 ms clock, and the weighted blends of the
// screen effects. Every rectangle is clipped to every plane involved.
//
// The frame loops take the pixel lock only while a frame is drawn, and call `repaint`
// between frames without it, so the window may paint from the planes meanwhile.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

#include "graphics/blitter.h"
#include "graphics/vram_plane_set.h"

namespace tvx::transition {

// Frames of the ordered dissolve: each copies one pixel position of every 8 × 8 cell.
inline constexpr int kDissolveFrames = 64;

// Copies the pixels of dissolve frame `frame` (0-63) from the source rectangle to dx, dy.
void DissolveFrame(const VramPlane& source, blit::Rect16 from, VramPlane& dest, uint32_t dx,
                   uint32_t dy, int frame);
// All 64 frames, each followed by `repaint`. Ends with the destination equal to the source.
void Dissolve(const VramPlane& source, blit::Rect16 from, VramPlane& dest, uint32_t dx, uint32_t dy,
              std::mutex& lock, const std::function<void()>& repaint);

// One blended frame: per channel (new × t + old × (32 − t)) / 32 into the destination.
void CrossFadeFrame(const VramPlane& fresh, blit::Rect16 from, const VramPlane& old, uint32_t ox,
                    uint32_t oy, VramPlane& dest, uint32_t dx, uint32_t dy, uint32_t t);
// The cross-fade from old to new at t = 0, 1, 4, 9, 16, 25, ending with the new picture
// copied in place. `shift_down` is asked before each frame; when it says so the remaining
// frames are skipped.
void CrossFade(const VramPlane& fresh, blit::Rect16 from, const VramPlane& old, uint32_t ox,
               uint32_t oy, VramPlane& dest, uint32_t dx, uint32_t dy, std::mutex& lock,
               const std::function<bool()>& shift_down, const std::function<void()>& repaint);

// One channel-fade step: every channel of `shown` moves one unit towards `target`; when
// brightening, only channels whose target value is at least `threshold` move up. Works on
// the area both planes share. True when anything differed from the target.
bool ChannelFadeStep(const VramPlane& target, VramPlane& shown, bool darken, uint32_t threshold);

// The area the three planes share: into = mix(fresh, old) at `level` of `total`.
void CrossFadeMix(const VramPlane& fresh, const VramPlane& old, VramPlane& into, uint32_t level,
                  uint32_t total);

// (a × level + b × (total − level)) / total per 5-bit channel.
uint16_t Mix(uint16_t a, uint16_t b, uint32_t level, uint32_t total);

// EFFECT 8's blend at one level (of 31), over the first `rows` memory rows (bottom-up) and
// `columns` pixels from the start of each: into = mix(a, b).
void BlendMemoryBlock(const VramPlane& a, const VramPlane& b, VramPlane& into, uint32_t columns,
                      uint32_t rows, uint32_t level);

// The scrolling panel's blend: the block of `panel` at `rect` over the same block of
// `background`, into the same block of `into`, with a weight (of 31) that rises by one per
// row over the top 31 rows and falls to 0 over the last 32.
void BlendPanel(const VramPlane& panel, const VramPlane& background, VramPlane& into,
                blit::Rect16 rect);

}  // namespace tvx::transition
