// System call 3: the script's animation slots.
#pragma once

namespace tvx {

class ScriptInterpreter;
struct ParamList;

void AnimationCall(ScriptInterpreter& interpreter, const ParamList& p);

}  // namespace tvx
