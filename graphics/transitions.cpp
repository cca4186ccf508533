#include "graphics/transitions.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tvx::transition {
namespace {

using blit::Clip;

// One channel (5 bits at `shift`) of `shown` one unit towards the target's; an upward move
// while brightening waits for the threshold to come down to the target value. Channels on
// the wrong side of the target move back towards it in either mode, so every fade ends.
inline uint32_t StepChannel(uint32_t shown, uint32_t target, int shift, bool darken,
                            uint32_t threshold) {
  const uint32_t s = (shown >> shift) & 31, t = (target >> shift) & 31;
  if (s > t) return (s - 1) << shift;
  if (s < t && (darken || t >= threshold)) return (s + 1) << shift;
  return s << shift;
}

// Bit 15 is not colour: pixels are compared on their 15 colour bits.
constexpr uint32_t kColourBits2 = 0x7FFF7FFF;
constexpr uint16_t kColourBits = 0x7FFF;

}  // namespace

uint16_t Mix(uint16_t a, uint16_t b, uint32_t level, uint32_t total) {
  const uint32_t rest = total - level;
  auto channel = [&](int shift) {
    const uint32_t ca = (a >> shift) & 31u, cb = (b >> shift) & 31u;
    return ((ca * level + cb * rest) / total) << shift;
  };
  return static_cast<uint16_t>(channel(10) | channel(5) | channel(0));
}

void DissolveFrame(const VramPlane& source, blit::Rect16 from, VramPlane& dest, uint32_t dx,
                   uint32_t dy, int frame) {
  Clip(source, from.x, from.y, from.w, from.h);
  Clip(dest, dx, dy, from.w, from.h);
  // Frame k = 8 × outer + inner: the row phase steps by 3 each frame, the column phase by 1
  // each frame and by −3 each outer round, and by −3 again from one band to the next.
  const uint32_t outer = static_cast<uint32_t>(frame) / 8, inner = static_cast<uint32_t>(frame) % 8;
  const uint32_t row_phase = (3u * static_cast<uint32_t>(frame)) % 8;
  uint32_t column = (inner + 8 * 8 - 3 * outer) % 8;
  for (uint32_t row = row_phase; row < from.h; row += 8) {
    const uint16_t* in = &source.At(from.x, from.y + row);
    uint16_t* out = &dest.At(dx, dy + row);
    for (uint32_t c = column; c < from.w; c += 8) out[c] = in[c];
    column = (column + 5) % 8;  // − 3 mod 8
  }
}

void Dissolve(const VramPlane& source, blit::Rect16 from, VramPlane& dest, uint32_t dx, uint32_t dy,
              std::mutex& lock, const std::function<void()>& repaint) {
  for (int frame = 0; frame < kDissolveFrames; ++frame) {
    {
      std::lock_guard guard(lock);
      DissolveFrame(source, from, dest, dx, dy, frame);
    }
    if (repaint) repaint();
  }
}

void CrossFadeFrame(const VramPlane& fresh, blit::Rect16 from, const VramPlane& old, uint32_t ox,
                    uint32_t oy, VramPlane& dest, uint32_t dx, uint32_t dy, uint32_t t) {
  Clip(fresh, from.x, from.y, from.w, from.h);
  Clip(old, ox, oy, from.w, from.h);
  Clip(dest, dx, dy, from.w, from.h);
  for (uint32_t r = 0; r < from.h; ++r) {
    const uint16_t* in_new = &fresh.At(from.x, from.y + r);
    const uint16_t* in_old = &old.At(ox, oy + r);
    uint16_t* out = &dest.At(dx, dy + r);
    for (uint32_t c = 0; c < from.w; ++c) out[c] = Mix(in_new[c], in_old[c], t, 32);
  }
}

void CrossFade(const VramPlane& fresh, blit::Rect16 from, const VramPlane& old, uint32_t ox,
               uint32_t oy, VramPlane& dest, uint32_t dx, uint32_t dy, std::mutex& lock,
               const std::function<bool()>& shift_down, const std::function<void()>& repaint) {
  // The weight grows faster each frame: t = 0, 1, 4, 9, 16, 25.
  uint32_t acc = 0;
  for (uint32_t t = 0; t < 32; t += acc / 100) {
    acc += 180;
    if (shift_down && shift_down()) break;
    {
      std::lock_guard guard(lock);
      CrossFadeFrame(fresh, from, old, ox, oy, dest, dx, dy, t);
    }
    if (repaint) repaint();
  }
  // Whatever happened, the destination ends as the new picture.
  std::lock_guard guard(lock);
  blit::CopyRect(fresh, from, dest, dx, dy);
}

bool ChannelFadeStep(const VramPlane& target, VramPlane& shown, bool darken, uint32_t threshold) {
  if (!target.exists() || !shown.exists()) return false;
  const uint32_t w = std::min(target.width, shown.width);
  const uint32_t h = std::min(target.height, shown.height);
  // Every channel pair (shown, target) steps the same way within one pass: look it up.
  std::array<uint8_t, 32 * 32> next{};
  for (uint32_t sv = 0; sv < 32; ++sv)
    for (uint32_t tv = 0; tv < 32; ++tv)
      next[sv * 32 + tv] = static_cast<uint8_t>(StepChannel(sv, tv, 0, darken, threshold));
  // Indexed through its data: in the checked builds a call per lookup (the array's own
  // operator) cost more than the step itself.
  const uint8_t* const table = next.data();
  auto step = [table](uint16_t p, uint16_t t) {
    const uint32_t r = table[((p >> 10) & 31u) * 32 + ((t >> 10) & 31u)];
    const uint32_t g = table[((p >> 5) & 31u) * 32 + ((t >> 5) & 31u)];
    const uint32_t b = table[(p & 31u) * 32 + (t & 31u)];
    return static_cast<uint16_t>(r << 10 | g << 5 | b);
  };
  bool changed = false;
  for (uint32_t y = 0; y < h; ++y) {
    const uint16_t* in = &target.At(0, y);
    uint16_t* out = &shown.At(0, y);
    uint32_t x = 0;
    // Two pixels at a time; pairs already equal to the target are passed with one compare.
    for (; x + 2 <= w; x += 2) {
      uint32_t a, b;
      std::memcpy(&a, out + x, 4);
      std::memcpy(&b, in + x, 4);
      if (((a ^ b) & kColourBits2) == 0) continue;
      changed = true;
      out[x] = step(out[x], in[x]);
      out[x + 1] = step(out[x + 1], in[x + 1]);
    }
    if (x < w && ((out[x] ^ in[x]) & kColourBits) != 0) {
      changed = true;
      out[x] = step(out[x], in[x]);
    }
  }
  return changed;
}

void CrossFadeMix(const VramPlane& fresh, const VramPlane& old, VramPlane& into, uint32_t level,
                  uint32_t total) {
  if (!fresh.exists() || !old.exists() || !into.exists()) return;
  const uint32_t w = std::min({fresh.width, old.width, into.width});
  const uint32_t h = std::min({fresh.height, old.height, into.height});
  for (uint32_t y = 0; y < h; ++y) {
    const uint16_t* a = &fresh.At(0, y);
    const uint16_t* b = &old.At(0, y);
    uint16_t* out = &into.At(0, y);
    for (uint32_t x = 0; x < w; ++x) out[x] = Mix(a[x], b[x], level, total);
  }
}

void BlendMemoryBlock(const VramPlane& a, const VramPlane& b, VramPlane& into, uint32_t columns,
                      uint32_t rows, uint32_t level) {
  if (!a.exists() || !b.exists() || !into.exists()) return;
  columns = std::min({columns, uint32_t{a.width}, uint32_t{b.width}, uint32_t{into.width}});
  rows = std::min({rows, uint32_t{a.height}, uint32_t{b.height}, uint32_t{into.height}});
  for (uint32_t m = 0; m < rows; ++m) {
    // Memory row m of each plane, addressed with that plane's own width.
    const uint16_t* pa = &a.pixels[size_t{m} * a.width];
    const uint16_t* pb = &b.pixels[size_t{m} * b.width];
    uint16_t* out = &into.pixels[size_t{m} * into.width];
    for (uint32_t c = 0; c < columns; ++c) out[c] = Mix(pa[c], pb[c], level, 31);
  }
}

void BlendPanel(const VramPlane& panel, const VramPlane& background, VramPlane& into,
                blit::Rect16 rect) {
  const uint32_t full_height = rect.h;
  uint32_t w = rect.w, h = rect.h;
  Clip(panel, rect.x, rect.y, w, h);
  Clip(background, rect.x, rect.y, w, h);
  Clip(into, rect.x, rect.y, w, h);
  for (uint32_t r = 0; r < h; ++r) {
    const uint32_t weight = std::min({r + 1, uint32_t{31}, full_height - 1 - r});
    const uint16_t* fore = &panel.At(rect.x, rect.y + r);
    const uint16_t* back = &background.At(rect.x, rect.y + r);
    uint16_t* out = &into.At(rect.x, rect.y + r);
    for (uint32_t c = 0; c < w; ++c)
      out[c] = fore[c] == back[c] ? fore[c] : Mix(fore[c], back[c], weight, 31);
  }
}

}  // namespace tvx::transition
