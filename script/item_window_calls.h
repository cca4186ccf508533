// System call 22: the item window beside the game, as the scripts work it.
#pragma once

namespace tvx {

class ScriptInterpreter;
struct ParamList;

// p0: 0 create (hidden) and make it available, 1 toggle, 2 shown into S, 3 its frame
// rectangle into system pointers 11-14, 4 the pointer in its client coordinates into system
// words 3 and 4, 5 enable, 6 disable, 7 its button capture flags into system pointers 15
// and 16, 8 repaint, 9 the animated cursor over its caption, 10 toggle it when it lies over
// the message area (flag 2008).
void ItemWindowCall(ScriptInterpreter& interpreter, const ParamList& p);

}  // namespace tvx
