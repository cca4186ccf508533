// The one-message pump that every waiting loop calls, the error box, and the process-wide
// pointers through which window procedures reach the game system.
#pragma once

#include <string_view>

#include "platform/error_box.h"

namespace tvx {

class GameSystem;
class ShellWindows;

// Handles at most one message, then yields (0 ms in the foreground, 30 ms in the background).
// 1 to go on, 0 when the caller must stop waiting because the game is quitting.
int PumpOnce();
// The same for a loop that waits for the player or the clock: when no message was waiting it
// rests until input may have come instead of spinning.
int PumpOnceWaiting();
// The same for a loop that waits only for the player: it rests past the clock's passes.
int PumpOnceWaitingForInput();

GameSystem* CurrentGameSystem();
ShellWindows* CurrentShellWindows();
void SetCurrentPointers(GameSystem* system, ShellWindows* shell);

// The accelerator table (L, S, Alt+F4, Space, Tab), installed when the main window is made.
void LoadAccelerators();

}  // namespace tvx
