// The program entry shared by the full-screen and windowed programs.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace tvx {

class GameSystem;

// The programs' command line, the arguments after the program's name: none, or one game
// folder. Given a folder, it becomes the current directory and the program is taken to lie in
// it, so that the settings file, the loose files, the archives and the saves all come from
// there (and one copy may run per folder). `program` names the program in messages.
// 0 to go on; otherwise the status to end with at once, the reason written to `err`:
// 1 when the folder is not there, 2 for a usage error.
int TakeCommandLine(std::string_view program, std::span<const std::string> args, std::ostream& err);

// One copy per program file: a second copy returns 0 at once. Otherwise runs the game.
int ProgramEntry(GameSystem& system);

}  // namespace tvx
