// The player's inputs as the scripts name them: the waits, the menu loop and system call 18
// ask for them by these numbers.
#pragma once

namespace tvx {

enum PlayerInput : int {
  kDecide = 0,  // Enter or the left button
  kCancel = 1,  // Escape or the right button
  kUp = 2,
  kDown = 3,
  kLeft = 4,
  kRight = 5,
  kShift = 6,
  kControl = 7,
  kLeftButton = 8,
  kSpace = 9,
};

}  // namespace tvx
