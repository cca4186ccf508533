#include "ui/command_prompt.h"

#include <algorithm>

#include "platform/ui_canvas.h"

namespace tvx {

namespace {

using platform::Key;
using platform::Msg;
using platform::Point;
using platform::Rect;
namespace ui = platform::ui;

// The picture's parts, in its own coordinates.
constexpr int32_t kWidth = CommandPrompt::kBounds.right - CommandPrompt::kBounds.left;
constexpr int32_t kHeight = CommandPrompt::kBounds.bottom - CommandPrompt::kBounds.top;
constexpr Rect kAll{0, 0, kWidth, kHeight};
constexpr Rect kCaptionBar{3, 3, kWidth - 3, 21};
constexpr Rect kCloseBox{kWidth - 3 - 2 - 16, 5, kWidth - 3 - 2, 19};
constexpr Rect kField{12, 28, kWidth - 12, 50};
constexpr int32_t kTextLeft = kField.left + 4;
constexpr int32_t kTextRight = kField.right - 4;
constexpr int32_t kMessageTop = 56;

constexpr uint16_t kErrorRed = 0x6000;
constexpr std::string_view kCaption = "COMMAND";
constexpr std::string_view kHint = "Enter: run    Esc: close";

int32_t Width(std::string_view gbk) {
  return platform::UiTextWidth(gbk);
}

}  // namespace

bool CommandPrompt::OnInput(const platform::Message& message) {
  if (state_ != State::Editing) return true;
  switch (message.kind) {
    case Msg::KeyDown:
      switch (static_cast<Key>(message.wparam & 0xFF)) {
        case Key::Enter:
          state_ = State::Submitted;
          break;
        case Key::Escape:
          state_ = State::Cancelled;
          break;
        case Key::Backspace:
          if (caret_ > 0) {
            const size_t at = Previous(caret_);
            Erase(at);
            MoveCaret(at);
          }
          break;
        case Key::Delete:
          if (caret_ < text_.size()) Erase(caret_);
          MoveCaret(caret_);
          break;
        case Key::Left:
          MoveCaret(Previous(caret_));
          break;
        case Key::Right:
          MoveCaret(Next(caret_));
          break;
        case Key::Home:
          MoveCaret(0);
          break;
        case Key::End:
          MoveCaret(text_.size());
          break;
        default:
          break;
      }
      return true;
    case Msg::Char:
      Insert(message.wparam);
      return true;
    case Msg::LButtonDown: {
      const Point at = platform::UnpackPoint(message.lparam);
      const Point inside{at.x - kBounds.left, at.y - kBounds.top};
      if (kCloseBox.Contains(inside)) state_ = State::Cancelled;
      return true;
    }
    default:
      return true;
  }
}

void CommandPrompt::Reject(std::string_view message_gbk, size_t column) {
  error_ = column > 0 ? "column " + std::to_string(column) + ": " : std::string();
  error_ += message_gbk;
  error_at_ = std::string::npos;
  if (column > 0) {
    size_t at = 0;
    for (size_t c = 1; c < column && at < text_.size(); ++c) at = Next(at);
    error_at_ = at;
  }
  state_ = State::Editing;
  changed_ = true;
}

void CommandPrompt::Insert(uint32_t code) {
  std::string bytes;
  if (code >= 0x20 && code < 0x7F) {
    bytes.push_back(static_cast<char>(code));
  } else {
    const auto lead = static_cast<uint8_t>(code >> 8), trail = static_cast<uint8_t>(code);
    // Only whole double-byte characters; control characters and stray bytes are not text.
    if (code > 0xFFFF || lead < 0x81 || lead > 0xFE || trail < 0x40 || trail == 0x7F ||
        trail == 0xFF)
      return;
    bytes = {static_cast<char>(lead), static_cast<char>(trail)};
  }
  if (text_.size() + bytes.size() > kCapacity) return;
  text_.insert(caret_, bytes);
  error_at_ = std::string::npos;  // the mark no longer points where it did
  MoveCaret(caret_ + bytes.size());
}

void CommandPrompt::Erase(size_t at) {
  text_.erase(at, Next(at) - at);
  error_at_ = std::string::npos;
  changed_ = true;
}

size_t CommandPrompt::Previous(size_t at) const {
  // GBK trail bytes look like ASCII: characters are only found walking from the start.
  size_t previous = 0;
  for (size_t i = 0; i < at && i < text_.size(); i += platform::UiCharLength(text_, i))
    previous = i;
  return previous;
}

size_t CommandPrompt::Next(size_t at) const {
  return at < text_.size() ? at + platform::UiCharLength(text_, at) : text_.size();
}

void CommandPrompt::MoveCaret(size_t at) {
  caret_ = std::min(at, text_.size());
  KeepCaretVisible();
  changed_ = true;
}

void CommandPrompt::KeepCaretVisible() {
  constexpr int32_t kRoom = kTextRight - kTextLeft;
  scroll_ = std::min(scroll_, caret_);
  while (scroll_ < caret_ &&
         Width(std::string_view(text_).substr(scroll_, caret_ - scroll_)) >= kRoom)
    scroll_ = Next(scroll_);
  // Text that got shorter slides back in from the left.
  while (scroll_ > 0) {
    const size_t before = Previous(scroll_);
    if (Width(std::string_view(text_).substr(before)) >= kRoom) break;
    scroll_ = before;
  }
}

void CommandPrompt::Render(std::span<uint16_t> pixels) const {
  if (pixels.size() < static_cast<size_t>(kWidth) * kHeight) return;
  platform::UiCanvas canvas(pixels, kWidth, kHeight);
  canvas.DialogFrame(kAll, kCaptionBar, kCaption, kCloseBox, false);

  canvas.Sunken(kField);
  const Rect inside = platform::Shrink(kField, 2);
  canvas.Fill(inside, ui::kWhite);
  const int32_t glyph_height = platform::UiGlyphHeight();
  const int32_t text_top = kField.top + (kField.Height() - glyph_height) / 2;
  const Rect text_clip{kTextLeft, inside.top, kTextRight, inside.bottom};
  const std::string_view shown = std::string_view(text_).substr(scroll_);
  canvas.Text({kTextLeft, text_top}, shown, ui::kBlack, text_clip);

  const auto x_of = [&](size_t at) {
    return kTextLeft + Width(std::string_view(text_).substr(scroll_, at - scroll_));
  };
  if (error_at_ != std::string::npos && error_at_ >= scroll_) {
    const int32_t x = x_of(error_at_);
    const int32_t w =
        error_at_ < text_.size()
            ? Width(std::string_view(text_).substr(error_at_, Next(error_at_) - error_at_))
            : 6;
    const Rect mark{x, text_top + glyph_height, std::min(x + w, kTextRight),
                    text_top + glyph_height + 2};
    canvas.Fill(platform::Intersect(mark, inside), kErrorRed);
  }
  const int32_t caret_x = x_of(caret_);
  canvas.Fill(platform::Intersect({caret_x, text_top - 1, caret_x + 1, text_top + glyph_height + 1},
                                  inside),
              ui::kBlack);

  const Rect message_clip{kField.left, kMessageTop, kField.right, kMessageTop + glyph_height};
  if (error_.empty())
    canvas.Text({kField.left, kMessageTop}, kHint, ui::kShadow, message_clip);
  else
    canvas.Text({kField.left, kMessageTop}, error_, kErrorRed, message_clip);
}

}  // namespace tvx
