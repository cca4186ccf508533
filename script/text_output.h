// Text runs of the scripts: double-byte runs (TEXT and text bytes at an instruction start),
// single-byte runs (TEXT_HALF), NEWLINE and numbers. Each character is drawn at the text
// cursor, which then moves on and wraps inside the text window (system words 5-10, 17, 18);
// closing punctuation is kept off the start of a line and opening punctuation off its end.
// In measuring mode a run only counts its bytes into 32-bit register S.
#pragma once

#include <cstdint>

namespace tvx {

class ScriptInterpreter;
class VariableArea;

class TextOutput {
 public:
  TextOutput(ScriptInterpreter& interpreter, VariableArea& variables)
      : interpreter_(interpreter), variables_(variables) {}

  void DrawTextRun();
  void DrawHalfTextRun();
  // The value in decimal, as number format word 13 asks: the low byte is the number of places
  // (0: as many as the value needs), bit 0x100 single-byte digits.
  void DrawNumber(uint32_t value);
  void Newline();
  void Reset() { line_break_ = false; }

 private:
  bool Measuring() const;
  void AddToMeasure(uint32_t bytes);
  uint16_t Word(int k) const;
  void SetWord(int k, int value);
  // Draws one character at the cursor, then moves the cursor on by `advance`.
  void DrawAndAdvance(uint16_t code, uint16_t advance);
  void ApplyLineBreakRule(uint16_t code);
  // Brings the part of the window that a run may have drawn on to the screen (plane 0 only).
  void Refresh(int x, int y, int w, int h);
  void RefreshHalfWindow();

  ScriptInterpreter& interpreter_;
  VariableArea& variables_;
  // Set after the line-break rule moved a character, so that the next one stays put.
  bool line_break_ = false;
};

}  // namespace tvx
