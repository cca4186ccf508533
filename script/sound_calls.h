// System calls 5 (music and effects) and 6 (voice).
#pragma once

namespace tvx {

class ScriptInterpreter;
struct ParamList;

void MusicAndEffectsCall(ScriptInterpreter& interpreter, const ParamList& p);
void VoiceCall(ScriptInterpreter& interpreter, const ParamList& p);

}  // namespace tvx
