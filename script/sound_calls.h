// System calls 5 (music and effects) and 6 (voice).
#pragma once

namespace tvx {

class GameSystem;
class ScriptInterpreter;
struct ParamList;

void MusicAndEffectsCall(ScriptInterpreter& interpreter, GameSystem& system, const ParamList& p);
void VoiceCall(ScriptInterpreter& interpreter, GameSystem& system, const ParamList& p);

}  // namespace tvx
