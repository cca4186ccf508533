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

}  // namespace tvx
