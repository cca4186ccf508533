#include "script/text_calls.h"

#include "app/game_system.h"
#include "script/script_interpreter.h"
#include "script/text_output.h"
#include "script/variable_area.h"

namespace tvx {

void FontCall(ScriptInterpreter&, GameSystem& system, const ParamList&) {
  const VariableArea& variables = system.variables();
  system.graphics().SetGlyphSize(variables.Word(kWordFontWidth), variables.Word(kWordFontHeight));
}

void NumberCall(ScriptInterpreter& interpreter, GameSystem&, const ParamList& p) {
  interpreter.text().DrawNumber(p.Value(0));
}

void TextColoursCall(ScriptInterpreter&, GameSystem& system, const ParamList& p) {
  VariableArea& variables = system.variables();
  variables.SetWord(kWordOutlineColour, static_cast<uint16_t>(p.Value(0)));
  variables.SetWord(kWordFaceColour, static_cast<uint16_t>(p.Value(1)));
  system.graphics().SetColours(variables.Word(kWordOutlineColour), variables.Word(kWordFaceColour));
}

}  // namespace tvx
