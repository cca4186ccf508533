// The engine's own modal message box: where its parts go and how it looks, drawn with the
// engine's 12-pixel UI font in the classic grey style. Backends that cannot show a native
// box (full screen, or no window system box at all) draw this picture and hit-test it.
//
// The box picture is 16-bit 5-5-5 (bit 15 zero) with rows stored top-down: pixel (x, y) is
// at y * width + x. All rectangles are in that picture's coordinates.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace tvx::platform {

struct BoxTextLine {
  std::string text;  // GBK
  Point origin;      // top-left of the first character cell
};

struct BoxButton {
  Rect rect;
  BoxAnswer answer = BoxAnswer::Ok;
  std::string label;  // GBK
};

struct MessageBoxLayout {
  int32_t width = 0;
  int32_t height = 0;
  std::string caption;  // GBK
  Rect caption_bar;
  Rect close_box;  // the caption bar's close button
  Rect icon;
  Rect text_area;  // bounds of all text lines
  std::vector<BoxTextLine> lines;
  std::vector<BoxButton> buttons;  // left to right, OK first
};

// What ButtonAt finds besides a button index.
inline constexpr int kNoBoxButton = -1;
inline constexpr int kBoxCloseButton = -2;

MessageBoxLayout LayoutMessageBox(std::string_view caption_gbk, std::string_view text_gbk,
                                  BoxButtons buttons);

// Draws the whole box. focused_button is an index into layout.buttons; pressed_button is an
// index, kBoxCloseButton or kNoBoxButton. Does nothing when pixels holds fewer than
// width * height pixels.
void RenderMessageBox(const MessageBoxLayout& layout, int focused_button, int pressed_button,
                      std::span<uint16_t> pixels);

// The button under a point: an index into layout.buttons, kBoxCloseButton or kNoBoxButton.
int ButtonAt(const MessageBoxLayout& layout, Point point);

// The answer that Escape and closing the box give: Cancel when there is a Cancel button.
BoxAnswer DismissAnswer(const MessageBoxLayout& layout);

// The answer a button gives when pressed (closing for kBoxCloseButton).
BoxAnswer ButtonAnswer(const MessageBoxLayout& layout, int button);

}  // namespace tvx::platform
