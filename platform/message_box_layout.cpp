#include "platform/message_box_layout.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ui_canvas.h"
#include "resources/font_data.h"

namespace tvx::platform {
namespace {

using namespace ui;

constexpr FontFaceId kFont = FontFaceId::Ui12;

// Metrics, in pixels.
constexpr int32_t kMinWidth = 240;
constexpr int32_t kMaxWidth = 560;
constexpr int32_t kMaxHeight = 480;  // the box must fit on the 640x480 picture
constexpr int32_t kFrame = 3;
constexpr int32_t kCaptionHeight = 18;
constexpr int32_t kClientTop = kFrame + kCaptionHeight + 1;
constexpr int32_t kMargin = 12;
constexpr int32_t kIconSize = 32;
constexpr int32_t kIconGap = 16;
constexpr int32_t kLineGap = 2;
constexpr int32_t kButtonWidth = 75;
constexpr int32_t kButtonHeight = 23;
constexpr int32_t kButtonGap = 6;
constexpr int32_t kButtonsTopGap = 14;
constexpr int32_t kCloseWidth = 16;
constexpr int32_t kCloseHeight = 14;
constexpr int32_t kTextLeft = kFrame + kMargin + kIconSize + kIconGap;
constexpr int32_t kMaxTextWidth = kMaxWidth - kTextLeft - kMargin - kFrame;
constexpr int32_t kFixedHeight =
    kClientTop + kMargin + kButtonsTopGap + kButtonHeight + kMargin + kFrame;

// 确定 and 取消, in GBK.
constexpr std::string_view kOkLabel = "\xC8\xB7\xB6\xA8";
constexpr std::string_view kCancelLabel = "\xC8\xA1\xCF\xFB";

size_t CharLength(std::string_view s, size_t i) {
  return UiCharLength(s, i);
}
uint16_t CharCode(std::string_view s, size_t i, size_t length) {
  return UiCharCode(s, i, length);
}
int32_t Advance(uint16_t code) {
  return std::max(CellWidth(kFont, code), 0);
}
int32_t GlyphHeight() {
  return UiGlyphHeight();
}
int32_t LineHeight() {
  return GlyphHeight() + kLineGap;
}
int32_t Measure(std::string_view s) {
  return UiTextWidth(s);
}

// Splits a paragraph (no line breaks) into lines no wider than max_width. A line breaks at a
// space or next to a double-byte character when it can, else at any character; a double-byte
// character is never split. Spaces at the start of a continued line are dropped.
void WrapParagraph(std::string_view text, int32_t max_width, std::vector<std::string>& lines) {
  size_t start = 0;
  do {
    int32_t width = 0;
    size_t line_end = text.size();
    size_t next = text.size();
    size_t break_end = start;  // the last place the line may end, and where the next begins
    size_t break_next = start;
    for (size_t i = start; i < text.size();) {
      const size_t length = CharLength(text, i);
      const uint16_t code = CharCode(text, i, length);
      const int32_t advance = Advance(code);
      if (i > start && width + advance > max_width) {
        if (code == ' ') {
          line_end = i;
          next = i + 1;
        } else if (break_end > start) {
          line_end = break_end;
          next = break_next;
        } else {
          line_end = next = i;
        }
        break;
      }
      if (code == ' ' || length == 2) {
        break_end = i;
        break_next = code == ' ' ? i + 1 : i;
      }
      width += advance;
      i += length;
      if (length == 2) break_end = break_next = i;
    }
    lines.emplace_back(text.substr(start, line_end - start));
    start = next;
    if (line_end != text.size())
      while (start < text.size() && text[start] == ' ') ++start;
  } while (start < text.size());
}

std::vector<std::string> WrapText(std::string_view text, int32_t max_width) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    // CR, LF and CR LF all end a line. Neither byte occurs inside a double-byte character.
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    WrapParagraph(text.substr(start, end - start), max_width, lines);
    if (end == text.size()) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}

// ---- Drawing ----

using Canvas = UiCanvas;

void DrawRaised(Canvas& canvas, const Rect& r) {
  canvas.Raised(r);
}

void DrawSunken(Canvas& canvas, const Rect& r) {
  canvas.Sunken(r);
}

void DrawButton(Canvas& canvas, const BoxButton& button, bool focused, bool pressed) {
  Rect r = button.rect;
  if (focused) {
    // The focused button is also the default one: it wears a black frame.
    canvas.Edge(r, kBlack, kBlack);
    r = Shrink(r, 1);
  }
  if (pressed && focused) {
    canvas.Edge(r, kShadow, kShadow);
    canvas.Fill(Shrink(r, 1), kFace);
  } else if (pressed) {
    DrawSunken(canvas, r);
  } else {
    DrawRaised(canvas, r);
  }
  const int32_t shift = pressed ? 1 : 0;
  const Rect& b = button.rect;
  const Point origin{b.left + (b.Width() - Measure(button.label)) / 2 + shift,
                     b.top + (b.Height() - GlyphHeight()) / 2 + shift};
  canvas.Text(origin, button.label, kBlack, Shrink(b, 2));
  if (focused) canvas.Dotted(Shrink(b, 4));
}

// The exclamation icon: a yellow warning triangle with a black outline and mark.
void DrawExclamation(Canvas& canvas, Point at) {
  // Row y (1..30) covers the pixels whose centres lie within y/2 of the middle line.
  const auto inside = [](int32_t x, int32_t y) {
    return y >= 1 && y <= 30 && x >= 0 && x < kIconSize && std::abs(2 * x - 31) <= y;
  };
  for (int32_t y = 0; y < kIconSize; ++y) {
    for (int32_t x = 0; x < kIconSize; ++x) {
      if (!inside(x, y)) continue;
      const bool edge =
          !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      canvas.Put(at.x + x, at.y + y, edge ? kBlack : kYellow);
    }
  }
  // The stroke narrows towards its foot; the dot is a rounded square.
  canvas.Fill({at.x + 14, at.y + 9, at.x + 18, at.y + 17}, kBlack);
  canvas.Fill({at.x + 15, at.y + 17, at.x + 17, at.y + 21}, kBlack);
  canvas.Fill({at.x + 15, at.y + 23, at.x + 17, at.y + 27}, kBlack);
  canvas.Fill({at.x + 14, at.y + 24, at.x + 18, at.y + 26}, kBlack);
}

}  // namespace

MessageBoxLayout LayoutMessageBox(std::string_view caption_gbk, std::string_view text_gbk,
                                  BoxButtons buttons) {
  MessageBoxLayout box;
  box.caption = std::string(caption_gbk);

  const int32_t line_height = LineHeight();
  std::vector<std::string> lines = WrapText(text_gbk, kMaxTextWidth);
  const auto max_lines =
      static_cast<size_t>(std::max((kMaxHeight - kFixedHeight) / line_height, 1));
  if (lines.size() > max_lines) lines.resize(max_lines);
  int32_t text_width = 0;
  for (const std::string& line : lines) text_width = std::max(text_width, Measure(line));
  const auto line_count = static_cast<int32_t>(lines.size());
  const int32_t text_height = std::max(line_count * line_height - kLineGap, 0);

  const int32_t button_count = buttons == BoxButtons::OkCancel ? 2 : 1;
  const int32_t buttons_width = button_count * kButtonWidth + (button_count - 1) * kButtonGap;
  const int32_t caption_width = kFrame + 3 + Measure(caption_gbk) + 4 + kCloseWidth + 2 + kFrame;
  box.width = std::min(std::max({kMinWidth, kTextLeft + text_width + kMargin + kFrame,
                                 buttons_width + 2 * (kFrame + kMargin), caption_width}),
                       kMaxWidth);

  box.caption_bar = {kFrame, kFrame, box.width - kFrame, kFrame + kCaptionHeight};
  box.close_box = {box.caption_bar.right - 2 - kCloseWidth, kFrame + 2, box.caption_bar.right - 2,
                   kFrame + 2 + kCloseHeight};

  // Text shorter than the icon is centred beside it.
  const int32_t content_top = kClientTop + kMargin;
  box.icon = {kFrame + kMargin, content_top, kFrame + kMargin + kIconSize, content_top + kIconSize};
  const int32_t text_top = content_top + std::max(0, (kIconSize - text_height) / 2);
  box.text_area = {kTextLeft, text_top, kTextLeft + text_width, text_top + text_height};
  for (int32_t i = 0; i < line_count; ++i)
    box.lines.push_back({std::move(lines[i]), {kTextLeft, text_top + i * line_height}});

  const int32_t buttons_top = std::max(box.icon.bottom, box.text_area.bottom) + kButtonsTopGap;
  int32_t left = (box.width - buttons_width) / 2;
  for (int32_t i = 0; i < button_count; ++i) {
    const bool ok = i == 0;
    box.buttons.push_back({{left, buttons_top, left + kButtonWidth, buttons_top + kButtonHeight},
                           ok ? BoxAnswer::Ok : BoxAnswer::Cancel,
                           std::string(ok ? kOkLabel : kCancelLabel)});
    left += kButtonWidth + kButtonGap;
  }
  box.height = buttons_top + kButtonHeight + kMargin + kFrame;
  return box;
}

void RenderMessageBox(const MessageBoxLayout& layout, int focused_button, int pressed_button,
                      std::span<uint16_t> pixels) {
  if (layout.width <= 0 || layout.height <= 0 ||
      pixels.size() < static_cast<size_t>(layout.width) * layout.height)
    return;
  Canvas canvas(pixels, layout.width, layout.height);
  canvas.DialogFrame({0, 0, layout.width, layout.height}, layout.caption_bar, layout.caption,
                     layout.close_box, pressed_button == kBoxCloseButton);

  DrawExclamation(canvas, {layout.icon.left, layout.icon.top});
  const Rect client{kFrame, kClientTop, layout.width - kFrame, layout.height - kFrame};
  for (const BoxTextLine& line : layout.lines) canvas.Text(line.origin, line.text, kBlack, client);

  for (size_t i = 0; i < layout.buttons.size(); ++i) {
    const auto index = static_cast<int>(i);
    DrawButton(canvas, layout.buttons[i], index == focused_button, index == pressed_button);
  }
}

int ButtonAt(const MessageBoxLayout& layout, Point point) {
  for (size_t i = 0; i < layout.buttons.size(); ++i)
    if (layout.buttons[i].rect.Contains(point)) return static_cast<int>(i);
  if (layout.close_box.Contains(point)) return kBoxCloseButton;
  return kNoBoxButton;
}

BoxAnswer DismissAnswer(const MessageBoxLayout& layout) {
  for (const BoxButton& button : layout.buttons)
    if (button.answer == BoxAnswer::Cancel) return BoxAnswer::Cancel;
  return BoxAnswer::Ok;
}

BoxAnswer ButtonAnswer(const MessageBoxLayout& layout, int button) {
  if (button >= 0 && static_cast<size_t>(button) < layout.buttons.size())
    return layout.buttons[static_cast<size_t>(button)].answer;
  return DismissAnswer(layout);
}

}  // namespace tvx::platform
