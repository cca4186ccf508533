// The system calls of text drawing: the glyph font, numbers and the text colours.
#pragma once

namespace tvx {

class ScriptInterpreter;
struct ParamList;

// Call 0: a new glyph font at the size in system words 14 and 15.
void FontCall(ScriptInterpreter& interpreter, const ParamList& p);
// Call 1: p0 as a decimal number at the text cursor, in the format of system word 13.
void NumberCall(ScriptInterpreter& interpreter, const ParamList& p);
// Call 12: outline colour p0 and face colour p1, kept in system words 11 and 12.
void TextColoursCall(ScriptInterpreter& interpreter, const ParamList& p);

}  // namespace tvx
