// Drawing in the engine's own interface look: the classic grey face with 3D edges and text in
// the 12-pixel UI font. Message boxes, the command menu and the dialogs share it, so that they
// look like one hand made them.
//
// A canvas draws on a 16-bit 5-5-5 picture (bit 15 zero) with rows stored top-down: pixel
// (x, y) is at y * width + x. Everything is clipped to the picture.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/types.h"

namespace tvx::platform {

namespace ui {
// Colours, 5-5-5.
inline constexpr uint16_t kBlack = 0x0000;
inline constexpr uint16_t kWhite = 0x7FFF;
inline constexpr uint16_t kFace = 0x6318;    // light grey: dialogs and menus
inline constexpr uint16_t kShadow = 0x4210;  // dark grey: lower edges, greyed text
inline constexpr uint16_t kNavy = 0x0010;    // captions and the selected menu item
inline constexpr uint16_t kYellow = 0x7FE0;
}  // namespace ui

// GBK text in the UI font: the byte length of the character at i, and its code.
size_t UiCharLength(std::string_view gbk, size_t i);
uint16_t UiCharCode(std::string_view gbk, size_t i, size_t length);
// The width of a text in pixels, and the height of the font's cells.
int32_t UiTextWidth(std::string_view gbk);
int32_t UiGlyphHeight();

Rect Shrink(const Rect& r, int32_t by);

class UiCanvas {
 public:
  UiCanvas(std::span<uint16_t> pixels, int32_t width, int32_t height)
      : pixels_(pixels), bounds_{0, 0, width, height} {}

  const Rect& bounds() const { return bounds_; }
  void Put(int32_t x, int32_t y, uint16_t colour);
  void Fill(const Rect& rect, uint16_t colour);
  // A one-pixel outline; the bottom and right sides own the corners they share with the
  // top and left ones, as 3D edges are drawn.
  void Edge(const Rect& r, uint16_t top_left, uint16_t bottom_right);
  // A dotted focus outline.
  void Dotted(const Rect& r);
  // Text with its first cell's top-left at `origin`, clipped to `clip`.
  void Text(Point origin, std::string_view gbk, uint16_t colour, const Rect& clip);
  // A raised or sunken face, as buttons and frames have them.
  void Raised(const Rect& r);
  void Sunken(const Rect& r);
  // A caption bar's close button with its cross.
  void CloseBox(const Rect& r, bool pressed);
  // The frame, caption bar and grey face of a window of `size` at the canvas origin, as
  // message boxes and dialogs have them; the caption bar and close box go where given.
  void DialogFrame(const Rect& all, const Rect& caption_bar, std::string_view caption_gbk,
                   const Rect& close_box, bool close_pressed);

 private:
  std::span<uint16_t> pixels_;
  Rect bounds_;
};

}  // namespace tvx::platform
