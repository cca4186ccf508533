// The bytecode interpreter, which is also the game's main loop.
//
// Stand-in until the script machine is built: Run waits for the player, pumping messages,
// until the program is told to quit.
#pragma once

namespace tvx {

class ScriptInterpreter {
 public:
  int Run();
};

}  // namespace tvx
