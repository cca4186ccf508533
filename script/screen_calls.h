// The system call and effects that change the whole screen gradually: the screen update
// (show, fade, dissolve), the cross-fade of pixel memory, the thirteen-picture show and the
// scrolling panel.
#pragma once

namespace tvx {

class GameSystem;
class ScriptInterpreter;
struct ParamList;

// System call 9: p0 0 show, 1 fade, 2 dissolve; p1, when given, the colour to go to.
void ScreenUpdateCall(ScriptInterpreter& interpreter, GameSystem& system, const ParamList& p);
// EFFECT 8, 10 and 13; false for any other effect number.
bool ScreenEffect(GameSystem& system, const ParamList& p);

}  // namespace tvx
