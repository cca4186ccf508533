// What the script machine needs from the program that runs it: the message pump, the
// player's input, the end of the program, and the NOW FILE view. The shell implements it.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/waiter.h"

namespace tvx {

class ScriptHost : public Waiter {
 public:
  // Between two commands: one turn of the pump (a message handled if one is there, then a
  // yield), then the look at the run state. True when the program is quitting and every
  // level of the interpreter must end.
  virtual bool PumpAndCheckQuit() = 0;
  // True once the program was stopped where it stands: after a quit the interpreter still
  // runs the command it was about to run; after a stop it runs none.
  virtual bool Halted() const { return false; }
  // The state of one of the player's inputs (PlayerInput): 1 active (held, or pressed since
  // the last query that reported it), 0 not.
  virtual int QueryInput(int input) = 0;
  // Forgets the presses that no query has reported yet. A wait for the player does this as
  // it begins, so that a click during the text before it does not end it, and as it ends, so
  // that its click is not seen again by another input. What is held still counts.
  virtual void ForgetPresses() = 0;
  // Shows a file name in a NOW FILE slot (1 script, 2 picture, 3 data, 4-9 sound channels).
  virtual void ShowFileName(size_t slot, std::string_view name) = 0;
  // A mistake of the game's that the engine goes on from but its maker should hear of (a
  // sound played while its switch bit is off, a picture of the other format): said once per
  // `key`, in the text given (UTF-8).
  virtual void WarnMaker(std::string_view key, std::string_view text) {
    (void)key;
    (void)text;
  }

 protected:
  ~ScriptHost() = default;
};

}  // namespace tvx
