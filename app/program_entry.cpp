#include "app/program_entry.h"

#include <filesystem>
#include <system_error>

#include "app/game_system.h"
#include "platform/file.h"
#include "platform/path_text.h"

namespace tvx {

int TakeCommandLine(std::string_view program, std::span<const std::string> args,
                    std::ostream& err) {
  namespace fs = std::filesystem;
  if (args.empty()) return 0;
  if (args.size() > 1 || args[0].empty() || args[0][0] == '-') {
    err << "usage: " << program << " [GAME_DIR]\n";
    return 2;
  }
  std::error_code ec;
  const fs::path folder = fs::absolute(platform::PathFromText(args[0]), ec);
  if (ec || !fs::is_directory(folder, ec)) {
    // The system's reason; a path that is there but no folder has none of its own.
    std::error_code ignored;
    if (!ec)
      ec = std::make_error_code(fs::exists(folder, ignored) ? std::errc::not_a_directory
                                                            : std::errc::no_such_file_or_directory);
    err << program << ": no game folder " << args[0] << ": " << ec.message() << "\n";
    return 1;
  }
  fs::current_path(folder, ec);
  if (ec) {
    err << program << ": cannot enter the game folder " << args[0] << ": " << ec.message() << "\n";
    return 1;
  }
  // The settings file is looked for beside the program: the program now lies in the folder.
  const fs::path name = platform::PathFromText(platform::ProgramPath()).filename();
  platform::SetProgramPathOverride(
      platform::PathText(folder / (name.empty() ? fs::path("talvex") : name)));
  return 0;
}

int ProgramEntry(GameSystem& system) {
  if (!platform::AcquireSingleInstance(platform::ProgramPath())) return 0;
  return system.RunSystem();
}

}  // namespace tvx
