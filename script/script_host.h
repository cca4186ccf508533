// What the script machine needs from the program that runs it: the message pump, the
// player's input, the end of the program, and the NOW FILE view. The shell implements it.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/waiter.h"

namespace tvx {

class ScriptHost : public Waiter {
 public:
  // One turn of the pump between two commands: handles a message if one is there and yields.
  // False once the program is quitting.
  virtual bool PumpOnce() = 0;
  // The state of one of the player's inputs (PlayerInput): 1 active, 0 not.
  virtual int QueryInput(int input) = 0;
  // Looked at before every command: true when the program is quitting and every level of
  // the interpreter must end.
  virtual bool Quitting() = 0;
  // Shows a file name in a NOW FILE slot (1 script, 2 picture, 3 data, 4-9 sound channels).
  virtual void ShowFileName(size_t slot, std::string_view name) = 0;

 protected:
  ~ScriptHost() = default;
};

}  // namespace tvx
