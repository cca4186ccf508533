#include "platform/ui_canvas.h"

#include <algorithm>

#include "resources/font_data.h"

namespace tvx::platform {

namespace {
constexpr FontFaceId kFont = FontFaceId::Ui12;
}  // namespace

size_t UiCharLength(std::string_view s, size_t i) {
  const auto lead = static_cast<uint8_t>(s[i]);
  if (lead < 0x81 || lead > 0xFE || i + 1 >= s.size()) return 1;
  const auto trail = static_cast<uint8_t>(s[i + 1]);
  return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

uint16_t UiCharCode(std::string_view s, size_t i, size_t length) {
  const auto lead = static_cast<uint8_t>(s[i]);
  if (length == 1) return lead;
  return static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(s[i + 1]));
}

int32_t UiTextWidth(std::string_view s) {
  int32_t width = 0;
  for (size_t i = 0; i < s.size();) {
    const size_t length = UiCharLength(s, i);
    width += std::max(CellWidth(kFont, UiCharCode(s, i, length)), 0);
    i += length;
  }
  return width;
}

int32_t UiGlyphHeight() {
  return std::max(FaceHeight(kFont), 1);
}

Rect Shrink(const Rect& r, int32_t by) {
  return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

void UiCanvas::Put(int32_t x, int32_t y, uint16_t colour) {
  if (bounds_.Contains({x, y})) pixels_[static_cast<size_t>(y) * bounds_.right + x] = colour;
}

void UiCanvas::Fill(const Rect& rect, uint16_t colour) {
  const Rect r = Intersect(rect, bounds_);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    auto row = pixels_.subspan(static_cast<size_t>(y) * bounds_.right + r.left, r.Width());
    std::fill(row.begin(), row.end(), colour);
  }
}

void UiCanvas::Edge(const Rect& r, uint16_t top_left, uint16_t bottom_right) {
  Fill({r.left, r.top, r.right - 1, r.top + 1}, top_left);
  Fill({r.left, r.top, r.left + 1, r.bottom - 1}, top_left);
  Fill({r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
  Fill({r.right - 1, r.top, r.right, r.bottom}, bottom_right);
}

void UiCanvas::Dotted(const Rect& r) {
  for (int32_t x = r.left; x < r.right; ++x) {
    if ((x + r.top) % 2 == 0) Put(x, r.top, ui::kBlack);
    if ((x + r.bottom - 1) % 2 == 0) Put(x, r.bottom - 1, ui::kBlack);
  }
  for (int32_t y = r.top; y < r.bottom; ++y) {
    if ((r.left + y) % 2 == 0) Put(r.left, y, ui::kBlack);
    if ((r.right - 1 + y) % 2 == 0) Put(r.right - 1, y, ui::kBlack);
  }
}

void UiCanvas::Text(Point origin, std::string_view gbk, uint16_t colour, const Rect& clip) {
  const Rect area = Intersect(clip, bounds_);
  int32_t x = origin.x;
  for (size_t i = 0; i < gbk.size();) {
    const size_t length = UiCharLength(gbk, i);
    const uint16_t code = UiCharCode(gbk, i, length);
    Glyph glyph;
    if (LookupGlyph(kFont, code, glyph)) {
      const int rows = std::min<int>(glyph.height, static_cast<int>(glyph.rows.size()));
      const int columns = std::min<int>(glyph.width, 16);
      for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
          const Point p{x + column, origin.y + row};
          if ((glyph.rows[row] & (0x8000u >> column)) && area.Contains(p)) Put(p.x, p.y, colour);
        }
      }
    }
    x += std::max(CellWidth(kFont, code), 0);
    i += length;
  }
}

void UiCanvas::Raised(const Rect& r) {
  Edge(r, ui::kWhite, ui::kBlack);
  Edge(Shrink(r, 1), ui::kFace, ui::kShadow);
  Fill(Shrink(r, 2), ui::kFace);
}

void UiCanvas::Sunken(const Rect& r) {
  Edge(r, ui::kBlack, ui::kWhite);
  Edge(Shrink(r, 1), ui::kShadow, ui::kFace);
  Fill(Shrink(r, 2), ui::kFace);
}

void UiCanvas::CloseBox(const Rect& r, bool pressed) {
  if (pressed)
    Sunken(r);
  else
    Raised(r);
  // An 8x7 cross.
  const int32_t left = r.left + (r.Width() - 8) / 2 + (pressed ? 1 : 0);
  const int32_t top = r.top + (r.Height() - 7) / 2 + (pressed ? 1 : 0);
  for (int32_t i = 0; i < 7; ++i) {
    const int32_t a = i <= 3 ? i : 6 - i;  // distance from the nearer side
    for (int32_t dx : {a, a + 1, 6 - a, 7 - a}) Put(left + dx, top + i, ui::kBlack);
  }
}

void UiCanvas::DialogFrame(const Rect& all, const Rect& caption_bar, std::string_view caption_gbk,
                           const Rect& close_box, bool close_pressed) {
  Edge(all, ui::kFace, ui::kBlack);
  Edge(Shrink(all, 1), ui::kWhite, ui::kShadow);
  Fill(Shrink(all, 2), ui::kFace);
  Fill(caption_bar, ui::kNavy);
  const Rect caption_clip{caption_bar.left, caption_bar.top, close_box.left - 2,
                          caption_bar.bottom};
  Text({caption_bar.left + 3, caption_bar.top + (caption_bar.Height() - UiGlyphHeight()) / 2},
       caption_gbk, ui::kWhite, caption_clip);
  CloseBox(close_box, close_pressed);
}

}  // namespace tvx::platform
