// The developer tools that the programs and `talvex-tool run` install in the game system:
// the debug menu's DUMP writes a run dump into DUMP-0001, DUMP-0002, ... of the game folder,
// and its COMMAND assembles the typed line with the MES assembler.
#pragma once

#include <string_view>

#include "app/developer_tools.h"

namespace tvx::tool {

class GameDeveloperTools final : public DeveloperTools {
 public:
  // The highest folder number; when DUMP-9999 exists nothing more is written.
  static constexpr int kMaxDumps = 9999;

  DumpResult Dump(GameSystem& system) override;
  LineCode AssembleLine(std::string_view utf8_line) override;
};

}  // namespace tvx::tool
