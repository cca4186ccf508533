// One character at a time onto a picture plane: the character is rendered white on black into
// a 64 × 64 glyph box, once spread out for the outline and once for the face, and the lit
// pixels of each pass are copied into the plane in the outline and the face colour.
//
// The font: every font object stands for the embedded 16-pixel text face. The glyph size that
// scripts ask for does not scale it; it only sets the part of the box that is copied.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/vram_plane_set.h"
#include "resources/font_data.h"

namespace tvx {

// The off-screen box a character is rendered into: pixels in the planes' format, bottom-up
// like the planes, lit pixels 0x7FFF.
class GlyphBox {
 public:
  static constexpr int kSize = 64;
  static constexpr uint16_t kLit = 0x7FFF;

  void Clear();
  // ORs the glyph into the box with its cell's top-left corner at (x, y) (rows counted from
  // the top); whatever falls outside the box is dropped.
  void Render(const Glyph& glyph, int x, int y);
  bool Lit(int x, int y) const { return pixels_[Index(x, y)] != 0; }
  // Row y (counted from the top), left to right.
  const uint16_t* Row(int y) const { return &pixels_[Index(0, y)]; }

 private:
  static size_t Index(int x, int y) { return static_cast<size_t>(kSize - y - 1) * kSize + x; }
  std::array<uint16_t, kSize * kSize> pixels_{};
  // Rows [0, dirty_rows_) may hold lit pixels: clearing needs to go no further.
  int dirty_rows_ = kSize;
};

// The glyph of a character code as text output passes it: a lead byte 0x81-0xFE in the high
// byte makes a double-byte character; otherwise the low byte alone is the character.
Glyph GlyphForCode(uint16_t code);

class GlyphRenderer {
 public:
  // Glyph sizes beyond this would make the copied box, (size + 4) pixels, overrun the 64.
  static constexpr uint16_t kMaxGlyphSize = GlyphBox::kSize - 4;

  GlyphRenderer();
  ~GlyphRenderer();
  GlyphRenderer(const GlyphRenderer&) = delete;
  GlyphRenderer& operator=(const GlyphRenderer&) = delete;

  // Makes the first font (16 × 16); false, after a box, when it cannot be made.
  bool CreateFont();
  // The size and the colours the first script starts with.
  void Initialise();
  void SetColours(uint16_t outline, uint16_t face) {
    outline_ = outline;
    face_ = face;
  }
  // Replaces the font object; sizes are clamped to kMaxGlyphSize.
  void SetGlyphSize(uint16_t width, uint16_t height);
  // Draws one character with the top-left corner of its (W + 4) × (H + 4) box at (x, y); only
  // the pixels that fall inside the plane are written. The caller holds the pixel lock.
  // Without the outline only the face is drawn (text on a plain background in cells too narrow
  // for the outline, which would cover the neighbour's face).
  void Draw(VramPlane& plane, uint16_t code, int x, int y, uint16_t style, bool outline = true);

  uint16_t glyphWidth() const { return width_; }
  uint16_t glyphHeight() const { return height_; }
  uint16_t outlineColour() const { return outline_; }
  uint16_t faceColour() const { return face_; }
  bool hasFont() const { return font_ != nullptr; }

 private:
  struct FontObject;
  static std::unique_ptr<FontObject> MakeFont();
  static void DestroyFont(std::unique_ptr<FontObject>& font);
  // Copies the lit pixels of the box's copied part into the plane, clipped to the plane.
  void CopyLit(VramPlane& plane, int x, int y, uint16_t colour) const;

  std::unique_ptr<FontObject> font_;
  GlyphBox box_;
  uint16_t width_ = 16;
  uint16_t height_ = 16;
  uint16_t outline_ = 0x0000;
  uint16_t face_ = 0x7FFF;
};

}  // namespace tvx
