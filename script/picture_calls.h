// The system calls and effects that work on pictures and planes.
#pragma once

namespace tvx {

class ScriptInterpreter;
struct ParamList;

// System call 8: a picture file onto the target plane.
void PictureCall(ScriptInterpreter& interpreter, const ParamList& p);
// System call 10: one blit, shown at once when it wrote plane 0.
void BlitCall(ScriptInterpreter& interpreter, const ParamList& p);

// EFFECT 0: plane 0's place on the window.
void PlaneOriginEffect(ScriptInterpreter& interpreter, const ParamList& p);
// EFFECT 1 and 5: darken or wash a block.
void DarkenOrWashEffect(ScriptInterpreter& interpreter, const ParamList& p);
// EFFECT 6: scroll a block across, four pixels a step, then wait as 7.
void ScrollEffect(ScriptInterpreter& interpreter, const ParamList& p);
// EFFECT 7: wait p1 ticks; Shift ends it, cancel ends it with 32-bit S = 1.
void WaitEffect(ScriptInterpreter& interpreter, const ParamList& p);
// EFFECT 9: load the thirteen pictures that EFFECT 10 shows.
void LoadThirteenPicturesEffect(ScriptInterpreter& interpreter, const ParamList& p);

}  // namespace tvx
