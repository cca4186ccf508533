#include "tools/game_developer_tools.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/game_system.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/platform.h"
#include "tools/mes/line_assembler.h"
#include "tools/run_command.h"

namespace tvx::tool {

namespace fs = std::filesystem;

DeveloperTools::DumpResult GameDeveloperTools::Dump(GameSystem& system) {
  // The game folder is where the program file (and the settings file) lies.
  const fs::path game = platform::PathFromText(platform::ProgramPath()).parent_path();
  std::error_code ec;
  fs::path dir;
  for (int n = 1; n <= kMaxDumps && dir.empty(); ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "DUMP-%04d", n);
    // Made here and now, so that no earlier dump is ever written over.
    if (fs::create_directory(game / name, ec)) dir = game / name;
    if (ec)
      return {false, "cannot make a folder in " + platform::PathText(game) + ": " + ec.message()};
  }
  if (dir.empty())
    return {false, "every folder up to DUMP-9999 is taken in " + platform::PathText(game)};
  std::ostringstream err;
  const platform::Framebuffer* screen = platform::WindowFramebuffer(system.mainWindow().handle());
  if (!WriteDump(dir, system, screen, err)) {
    std::string why = err.str();
    constexpr std::string_view kPrefix = "talvex-tool run: ";
    if (why.starts_with(kPrefix)) why.erase(0, kPrefix.size());
    while (!why.empty() && why.back() == '\n') why.pop_back();
    return {false, why};
  }
  return {true, platform::PathText(dir)};
}

DeveloperTools::LineCode GameDeveloperTools::AssembleLine(std::string_view utf8_line) {
  mes::LineAssembly line = mes::AssembleLine(utf8_line);
  return {std::move(line.code), std::move(line.error), line.column};
}

}  // namespace tvx::tool
