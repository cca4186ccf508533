// The mouse as the scripts use it: the cursor's visibility, position and image, and the
// wheel.
#pragma once

#include <cstdint>

namespace tvx {

class ScriptInterpreter;
struct ParamList;

// System call 2: show or hide the cursor, read or move the pointer, the animated cursor, the
// wheel.
void MouseCall(ScriptInterpreter& interpreter, const ParamList& p);
// EFFECT 2: the cursor image 100 + p1.
void CursorImageEffect(ScriptInterpreter& interpreter, const ParamList& p);
// System call 20, sub-function 9: the cursor image 225 + p1.
void MazeCursorCall(ScriptInterpreter& interpreter, const ParamList& p);
// The animated cursor whose two images are `base` and the one after it.
void ShowAnimatedCursor(ScriptInterpreter& interpreter, uint16_t base);

}  // namespace tvx
