// The developer's command prompt: a one-line box drawn over the main window in the engine's
// interface look, with the caption "COMMAND", an edit field for a line of MES assembly and a
// line below it for the last error (or a hint). It takes the main window's keys and
// characters while it is open (ModalInput); what the line does is its owner's business.
//
// Keys: Enter submits the line, Escape (or the close box) cancels; Backspace, Delete, Left,
// Right, Home and End edit. Characters are GBK codes as Char messages bring them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/types.h"
#include "ui/modal_input.h"

namespace tvx {

class CommandPrompt final : public ModalInput {
 public:
  enum class State : uint8_t { Editing, Submitted, Cancelled };
  // The line holds at most this many bytes of GBK text.
  static constexpr size_t kCapacity = 200;
  // Where it lies on the 640 × 480 client area: across the middle.
  static constexpr platform::Rect kBounds = {20, 200, 620, 280};

  bool OnInput(const platform::Message& message) override;

  State state() const { return state_; }
  const std::string& text() const { return text_; }
  // The caret: a byte offset into the text, always at the start of a character.
  size_t caret() const { return caret_; }
  // Turns a submitted line down: the message (GBK) shows below the field, the character at
  // `column` (from 1; 0 for none) is marked, and editing goes on.
  void Reject(std::string_view message_gbk, size_t column);
  // Whether the picture changed since the last call.
  bool TakeChanged() { return std::exchange(changed_, false); }
  // Draws the prompt into a top-down 5-5-5 picture of kBounds' size; nothing when `pixels`
  // is smaller.
  void Render(std::span<uint16_t> pixels) const;

 private:
  void Insert(uint32_t code);
  void Erase(size_t at);
  size_t Previous(size_t at) const;
  size_t Next(size_t at) const;
  void MoveCaret(size_t at);
  void KeepCaretVisible();

  std::string text_;
  size_t caret_ = 0;
  size_t scroll_ = 0;  // the first character shown in the field
  std::string error_;
  size_t error_at_ = std::string::npos;  // byte offset of the marked character
  State state_ = State::Editing;
  bool changed_ = true;
};

}  // namespace tvx
