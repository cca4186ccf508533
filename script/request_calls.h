// What the player asks of the scripts through commands, and what hides the bottom strip.
#pragma once

namespace tvx {

class ScriptInterpreter;
struct ParamList;

// System call 25 (the save request, command S) and 26 (the load request, command L).
void SaveRequestCall(ScriptInterpreter& interpreter, const ParamList& p);
void LoadRequestCall(ScriptInterpreter& interpreter, const ParamList& p);
// System call 27: the bottom strip hidden on the player's command (Tab) while allowed.
void BottomStripCall(ScriptInterpreter& interpreter, const ParamList& p);

}  // namespace tvx
