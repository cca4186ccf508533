// How the loops that wait for the clock or the player keep the program responsive: every
// look at what they wait for goes with one turn of the message pump, and a quitting program
// ends every wait. The program above implements it; graphics, sound and the script machine
// wait through it.
#pragma once

namespace tvx {

class Waiter {
 public:
  // One turn of the pump for a waiting loop: handles a message if one is there, otherwise
  // rests until input may have come. False once the program is quitting.
  virtual bool PumpWaiting() = 0;
  // The same turn for a loop that only the player's input can end (nothing it looks at
  // follows the clock): its rest may last past the clock's passes.
  virtual bool PumpWaitingForInput() { return PumpWaiting(); }
  // The player holds the key that cuts waits and transitions short (Shift).
  virtual bool SkipHeld() = 0;

 protected:
  ~Waiter() = default;
};

// Pumps until `done()` holds (true) or the program quits (false). `done` is asked before
// every turn, so a wait that is already over does not pump at all.
template <typename Done>
bool WaitUntil(Waiter& waiter, Done done) {
  while (!done())
    if (!waiter.PumpWaiting()) return false;
  return true;
}

// WaitUntil for a loop whose `done` looks only at the player's input and at what the
// script's own commands or messages change: it sleeps through the clock's passes.
template <typename Done>
bool WaitForInput(Waiter& waiter, Done done) {
  while (!done())
    if (!waiter.PumpWaitingForInput()) return false;
  return true;
}

}  // namespace tvx
