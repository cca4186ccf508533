#include "script/text_calls.h"

#include "graphics/graphics_engine.h"
#include "script/script_interpreter.h"
#include "script/text_output.h"
#include "script/variable_area.h"

namespace tvx {

void FontCall(ScriptInterpreter& interpreter, const ParamList&) {
  const VariableArea& variables = interpreter.variables();
  interpreter.graphics().SetGlyphSize(variables.Word(kWordFontWidth),
                                      variables.Word(kWordFontHeight));
}

void NumberCall(ScriptInterpreter& interpreter, const ParamList& p) {
  interpreter.text().DrawNumber(p.Value(0));
}

void TextColoursCall(ScriptInterpreter& interpreter, const ParamList& p) {
  VariableArea& variables = interpreter.variables();
  variables.SetWord(kWordOutlineColour, static_cast<uint16_t>(p.Value(0)));
  variables.SetWord(kWordFaceColour, static_cast<uint16_t>(p.Value(1)));
  interpreter.graphics().SetColours(variables.Word(kWordOutlineColour),
                                    variables.Word(kWordFaceColour));
}

}  // namespace tvx
