// Drawing onto the planes: the blit dispatcher, the picture loader, the fades stepped by
// the 15 ms clock, and the glyph drawing of text (font, colours, glyph size).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/blitter.h"
#include "graphics/glyph_renderer.h"
#include "graphics/picture_loader.h"
#include "graphics/vram_plane_set.h"
#include "platform/waiter.h"

namespace tvx {

// The blit operations, by number.
enum BlitOp : uint32_t {
  kCopyRect = 0,
  kCopyRectKeyed = 1,
  kFillRect = 2,
  kSwapRect = 3,
  kToggleColour = 4,
  kDissolve = 5,
  kComposite = 6,
  kCrossFade = 7,
};

// A place on a plane named by number (VramPlaneSet::Get).
struct PlanePoint {
  uint32_t plane = 0;
  uint32_t x = 0;
  uint32_t y = 0;
};

// One blit: a block of a first plane and, by operation, where it goes.
//   copies, keyed copies, swaps, dissolves   block → `to`
//   fills, colour toggles                      on the block itself
//   composites, cross-fades                    block over `to` → `out`
struct BlitRequest {
  uint32_t op = kCopyRect;
  uint32_t plane = 0;  // the plane the block lies on
  uint32_t x = 0;
  uint32_t y = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  PlanePoint to;
  PlanePoint out;
  uint16_t colour = 0;   // the key colour, the fill colour, the first colour of a toggle
  uint16_t colour2 = 0;  // the second colour of a toggle
};

class GraphicsEngine {
 public:
  // `planes` are what it draws on; waits for fades and transitions pump through `waiter`.
  GraphicsEngine(VramPlaneSet& planes, Waiter& waiter) : planes_(planes), waiter_(waiter) {}
  // Makes the first glyph font; 0 (after a box) when it cannot be made.
  int Create() { return glyphs_.CreateFont() ? 1 : 0; }
  // Takes the picture layout for the run (non-zero: G16 pictures).
  void Initialise(int32_t bg_type);

  // One blit on planes named by number; coordinates and sizes are taken as their low 16
  // bits. Operations above 7 do nothing.
  void Blit(const BlitRequest& request);
  // The ordered dissolve between any two planes, showing its 64 frames as it goes.
  void Dissolve(const VramPlane& source, blit::Rect16 from, VramPlane& dest, uint32_t dx,
                uint32_t dy);
  // Decodes a picture file (as read) onto a plane; false for a file too short for a header.
  bool LoadPicture(std::span<const uint8_t> file, VramPlane& plane);
  const PictureGeometry& lastPicture() const { return loader_.last(); }
  bool g16() const { return bg_type_ != 0; }

  // ---- Glyphs ----
  void SetColours(uint16_t outline, uint16_t face) { glyphs_.SetColours(outline, face); }
  // A new font object; the size sets the copied box, at most 60 × 60 pixels plus the rim.
  void SetGlyphSize(uint16_t width, uint16_t height) { glyphs_.SetGlyphSize(width, height); }
  // One character (a lead byte 0x81-0xFE in the high byte for double-byte ones) with the top
  // left of its box at (x, y); pixels outside the plane are not drawn.
  void DrawGlyph(VramPlane& plane, uint16_t code, int x, int y, uint16_t style,
                 bool outline = true);
  const GlyphRenderer& glyphs() const { return glyphs_; }

  // ---- Fades stepped by the 15 ms clock ----
  // Starts a channel fade of `shown` towards `target` (darkening or brightening); does not
  // wait. Neither plane may be drawn on by the program thread until the fade has ended.
  void StartChannelFade(const VramPlane& target, VramPlane& shown, bool darken);
  // Starts a blend of `steps` steps from what `shown` holds now to `fresh`; does not wait.
  void StartBlendFade(const VramPlane& fresh, VramPlane& shown, uint32_t steps);
  // Starts a channel fade and waits for its end.
  void RunChannelFade(const VramPlane& target, VramPlane& shown, bool darken) {
    StartChannelFade(target, shown, darken);
    WaitFade();
  }
  // One step of the running fade (the clock's task); the fade's new active word.
  uint32_t FadeStep();
  // Program thread: pumps until the running fade ends. Shift ends it once a step has been
  // taken, and so does a quitting program; an ended blend leaves its final picture in place.
  void WaitFade();
  bool fadeActive() const { return fade_active_.load(std::memory_order_acquire) != 0; }
  // Steps taken by the running (or last) fade.
  uint32_t fadeSteps() const { return fade_steps_.load(std::memory_order_acquire); }
  // Window repaints asked for by the transitions so far (frames shown).
  uint32_t transitionRepaints() const { return repaints_.load(std::memory_order_acquire); }

 private:
  VramPlaneSet& planes_;
  Waiter& waiter_;
  int32_t bg_type_ = 0;
  PictureLoader loader_;
  GlyphRenderer glyphs_;
  enum class FadeKind : uint32_t { kChannel, kBlend };
  void RepaintWindow();

  // The running fade. The program thread sets everything before it stores active; the clock
  // reads the rest only after it has seen active, and clears active under the pixel lock.
  std::atomic<uint32_t> fade_active_{0};
  const VramPlane* fade_target_ = nullptr;
  VramPlane* fade_shown_ = nullptr;
  uint32_t fade_mode_ = 0;  // 0 brighten, otherwise darken
  uint32_t fade_threshold_ = 31;
  FadeKind fade_kind_ = FadeKind::kChannel;
  uint32_t blend_steps_ = 0;
  uint32_t blend_step_ = 0;
  std::vector<uint16_t> blend_old_;  // the picture a blend starts from
  std::atomic<uint32_t> fade_steps_{0};
  std::atomic<uint32_t> repaints_{0};
  // Row scratch of SwapRect and Composite: as wide as the widest plane.
  std::array<uint16_t, 1000> scratch_row_{};
};

}  // namespace tvx
