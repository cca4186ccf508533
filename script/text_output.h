// Text runs of the scripts: double-byte runs (TEXT and text bytes at an instruction start),
// single-byte runs (TEXT_HALF), NEWLINE and numbers. In measuring mode a run only counts its
// bytes into 32-bit register S.
//
// Laying text out and drawing its glyphs comes with glyph drawing; until then runs are read
// and measured but not drawn.
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
  void Newline();
  void Reset() { line_break_ = false; }

 private:
  bool Measuring() const;
  void AddToMeasure(uint32_t bytes);

  ScriptInterpreter& interpreter_;
  VariableArea& variables_;
  bool line_break_ = false;
};

}  // namespace tvx
