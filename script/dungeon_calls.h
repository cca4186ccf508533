// System call 20: the maze view (operations 0-8) and the maze's cursor (9).
#pragma once

namespace tvx {

class ScriptInterpreter;
struct ParamList;

void DungeonCall(ScriptInterpreter& interpreter, const ParamList& p);

}  // namespace tvx
