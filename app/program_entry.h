// The program entry shared by the full-screen and windowed programs.
#pragma once

namespace tvx {

class GameSystem;

// One copy per program file: a second copy returns 0 at once. Otherwise runs the game.
int ProgramEntry(GameSystem& system);

}  // namespace tvx
