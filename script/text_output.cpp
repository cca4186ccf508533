#include "script/text_output.h"

#include "script/script_interpreter.h"
#include "script/variable_area.h"

namespace tvx {

bool TextOutput::Measuring() const { return variables_.HasSystemFlag(kFlagMeasure); }

void TextOutput::AddToMeasure(uint32_t bytes) {
  const int s = VariableArea::kRegisterS;
  variables_.SetRegister32(s, variables_.Register32(s) + bytes);
}

void TextOutput::DrawTextRun() {
  // Characters are two bytes each; the run ends at a 0x00 where a character would start.
  while (!interpreter_.PastEnd() && interpreter_.ReadByte(0) != 0) {
    interpreter_.ReadByte(1);
    interpreter_.ReadByte(1);
    if (Measuring()) AddToMeasure(2);
  }
  interpreter_.ReadByte(1);
}

void TextOutput::DrawHalfTextRun() {
  while (!interpreter_.PastEnd() && interpreter_.ReadByte(0) != 0) {
    interpreter_.ReadByte(1);
    if (Measuring()) AddToMeasure(1);
  }
  interpreter_.ReadByte(1);
}

void TextOutput::Newline() {
  variables_.SetWord(kWordCursorX, variables_.Word(kWordWindowLeft));
  variables_.SetWord(kWordCursorY, static_cast<uint16_t>(variables_.Word(kWordCursorY) +
                                                         variables_.Word(kWordLineAdvance)));
}

}  // namespace tvx
