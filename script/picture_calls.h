// The system calls and effects that work on pictures and planes.
#pragma once

namespace tvx {

class GameSystem;
class ScriptInterpreter;
struct ParamList;

void PictureCall(ScriptInterpreter& interpreter, GameSystem& system, const ParamList& p);
void BlitCall(ScriptInterpreter& interpreter, GameSystem& system, const ParamList& p);
// EFFECT 0, 1, 5, 6, 7 and 9, and the screen effects 8, 10 and 13; false for any other.
bool PictureEffect(GameSystem& system, const ParamList& p);

}  // namespace tvx
