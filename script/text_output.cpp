#include "script/text_output.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "graphics/graphics_engine.h"
#include "graphics/vram_plane_set.h"
#include "resources/gbk.h"
#include "script/script_interpreter.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

// Characters that may not begin a line, and ones that may not end it (GBK, two bytes each).
const std::string& NoLineStart() {
  static const std::string table = gbk::FromUtf8("。、）〕］｝〉》」』】．？！");
  return table;
}
const std::string& NoLineEnd() {
  static const std::string table = gbk::FromUtf8("（〔［｛〈《「『【");
  return table;
}

bool InTable(std::string_view table, uint16_t code) {
  for (size_t i = 0; i + 1 < table.size(); i += 2)
    if (static_cast<uint8_t>(table[i]) == (code >> 8) &&
        static_cast<uint8_t>(table[i + 1]) == (code & 0xFF))
      return true;
  return false;
}

constexpr uint16_t kHalfWidthZero = 0x30;
constexpr uint16_t kFullWidthZero = 0xA3B0;  // "０"; the full-width digits follow it
constexpr uint16_t kSingleByteDigits = 0x100;
constexpr int kPlaces = 5;

}  // namespace

bool TextOutput::Measuring() const {
  return variables_.HasSystemFlag(kFlagMeasure);
}

void TextOutput::AddToMeasure(uint32_t bytes) {
  const int s = VariableArea::kRegisterS;
  variables_.SetRegister32(s, variables_.Register32(s) + bytes);
}

uint16_t TextOutput::Word(int k) const {
  return variables_.Word(k);
}

// The cursor and window words are unsigned 16-bit: arithmetic on them wraps.
void TextOutput::SetWord(int k, int value) {
  variables_.SetWord(k, static_cast<uint16_t>(value));
}

void TextOutput::DrawAndAdvance(uint16_t code, uint16_t advance) {
  VramPlane& plane = interpreter_.planes().Get(Word(kWordTargetPlane));
  interpreter_.graphics().DrawGlyph(plane, code, Word(kWordCursorX), Word(kWordCursorY),
                                    Word(kWordGlyphStyle));
  SetWord(kWordCursorX, Word(kWordCursorX) + advance);
  // The wrap test uses the full advance, also after a half-width character.
  if (Word(kWordCursorX) + Word(kWordCharAdvance) > Word(kWordWindowRight)) {
    SetWord(kWordCursorY, Word(kWordCursorY) + Word(kWordLineAdvance));
    SetWord(kWordCursorX, Word(kWordWindowLeft));
  }
  // Past the bottom the window starts over at its top left; nothing is cleared.
  if (Word(kWordCursorY) + Word(kWordLineAdvance) > Word(kWordWindowBottom)) {
    SetWord(kWordCursorY, Word(kWordWindowTop));
    SetWord(kWordCursorX, Word(kWordWindowLeft));
  }
}

void TextOutput::ApplyLineBreakRule(uint16_t code) {
  const uint16_t x = Word(kWordCursorX);
  // The character right after a move stays where it arrives, also at a line start; the
  // tests below then clear the switch, so a move holds only that one character in place.
  if (x == Word(kWordWindowLeft) && !line_break_) {
    // Closing punctuation at a line start hangs past the right limit of the line before.
    if (InTable(NoLineStart(), code)) {
      SetWord(kWordCursorY, Word(kWordCursorY) - Word(kWordLineAdvance));
      SetWord(kWordCursorX, Word(kWordWindowRight));
      line_break_ = true;
    }
    return;
  }
  if (x == Word(kWordWindowRight) - Word(kWordCharAdvance)) {
    // Opening punctuation in the last cell goes down to the next line with what it opens.
    if (line_break_) {
      line_break_ = false;
    } else if (InTable(NoLineEnd(), code)) {
      SetWord(kWordCursorY, Word(kWordCursorY) + Word(kWordLineAdvance));
      SetWord(kWordCursorX, Word(kWordWindowLeft));
      line_break_ = true;
    }
    return;
  }
  line_break_ = false;
}

void TextOutput::DrawTextRun() {
  // Characters are two bytes each; the run ends at a 0x00 where a character would start.
  while (!interpreter_.PastEnd() && interpreter_.ReadByte(0) != 0) {
    const uint8_t lead = interpreter_.ReadByte(1);
    const uint8_t trail = interpreter_.ReadByte(1);
    const auto code = static_cast<uint16_t>(lead << 8 | trail);
    if (Measuring()) {
      AddToMeasure(2);
      continue;
    }
    ApplyLineBreakRule(code);
    DrawAndAdvance(code, Word(kWordCharAdvance));
  }
  interpreter_.ReadByte(1);
  if (Measuring()) return;
  // A hanging character reaches one advance past the right limit, the last line one line
  // advance below the bottom limit.
  const int left = Word(kWordWindowLeft), top = Word(kWordWindowTop);
  Refresh(left, top, Word(kWordWindowRight) + Word(kWordCharAdvance) - left,
          Word(kWordWindowBottom) + Word(kWordLineAdvance) - top);
}

void TextOutput::DrawHalfTextRun() {
  while (!interpreter_.PastEnd() && interpreter_.ReadByte(0) != 0) {
    const uint8_t code = interpreter_.ReadByte(1);
    if (Measuring()) {
      AddToMeasure(1);
      continue;
    }
    DrawAndAdvance(code, Word(kWordCharAdvance) / 2);
  }
  interpreter_.ReadByte(1);
  if (!Measuring()) RefreshHalfWindow();
}

void TextOutput::DrawNumber(uint32_t value) {
  const uint16_t format = Word(kWordNumberFormat);
  // The top place takes all above 9999, so values of 100000 and more give it two digits' worth.
  const std::array<uint32_t, kPlaces> digits = {value % 10, value / 10 % 10, value / 100 % 10,
                                                value % 10000 / 1000, value / 10000};
  int places = format & 0xFF;
  if (places == 0) {
    places = 1;
    for (int i = kPlaces - 1; i > 0; --i)
      if (digits[static_cast<size_t>(i)] != 0) {
        places = i + 1;
        break;
      }
  }
  const bool single_byte = (format & kSingleByteDigits) != 0;
  for (int place = places - 1; place >= 0; --place) {
    // Places beyond the five draw leading zeros.
    const uint32_t digit = place < kPlaces ? digits[static_cast<size_t>(place)] : 0;
    if (Measuring()) {
      AddToMeasure(single_byte ? 1 : 2);
      continue;
    }
    if (single_byte)
      DrawAndAdvance(static_cast<uint16_t>(kHalfWidthZero + digit), Word(kWordCharAdvance) / 2);
    else
      DrawAndAdvance(static_cast<uint16_t>(kFullWidthZero + digit), Word(kWordCharAdvance));
  }
  RefreshHalfWindow();
}

void TextOutput::Newline() {
  SetWord(kWordCursorX, Word(kWordWindowLeft));
  SetWord(kWordCursorY, Word(kWordCursorY) + Word(kWordLineAdvance));
}

void TextOutput::RefreshHalfWindow() {
  const int left = Word(kWordWindowLeft), top = Word(kWordWindowTop);
  Refresh(left, top, Word(kWordWindowRight) - left + 1, Word(kWordWindowBottom) - top + 1);
}

void TextOutput::Refresh(int x, int y, int w, int h) {
  if (Word(kWordTargetPlane) != 0) return;
  // Only the part of the window that lies on the screen.
  w = std::min(w, VramPlaneSet::kScreenWidth - x);
  h = std::min(h, VramPlaneSet::kScreenHeight - y);
  if (w <= 0 || h <= 0) return;
  interpreter_.planes().PresentRect(x, y, w, h);
}

}  // namespace tvx
