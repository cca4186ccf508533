// The system call and effects that change the whole screen gradually: the screen update
// (show, fade, dissolve), the cross-fade of pixel memory, the thirteen-picture show and the
// scrolling panel; and the overlay composed over the screen on its way to the window.
#pragma once

namespace tvx {

class ScriptInterpreter;
struct ParamList;

// System call 9: p0 0 show, 1 fade, 2 dissolve; p1, when given, the colour to go to.
void ScreenUpdateCall(ScriptInterpreter& interpreter, const ParamList& p);
// EFFECT 8: blends two planes' pixel memory into a third, one level after another.
void CrossFadeMemoryEffect(ScriptInterpreter& interpreter, const ParamList& p);
// EFFECT 10: the thirteen pictures of EFFECT 9, each blended in over 12 ticks.
void ShowThirteenPicturesEffect(ScriptInterpreter& interpreter, const ParamList& p);
// EFFECT 13: a panel scrolling up into the middle of the screen.
void ScrollingPanelEffect(ScriptInterpreter& interpreter, const ParamList& p);
// System call 23: p0 0 sets the overlay and shows it, 1 and 3 take it away, 2 composes it
// into the work plane.
void OverlayCall(ScriptInterpreter& interpreter, const ParamList& p);

}  // namespace tvx
