// What the debug menu's DUMP and COMMAND need beyond the engine: writing picture files and
// assembling MES source live with the tools. The programs and `talvex-tool run` install an
// implementation in the game system; without one the two entries say so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

class GameSystem;

class DeveloperTools {
 public:
  struct DumpResult {
    bool ok = false;
    std::string where;  // UTF-8: the new folder, or why nothing was written
  };
  // Writes what `talvex-tool run --dump` writes, as the game stands, into a new folder of
  // the game folder that no earlier dump used.
  virtual DumpResult Dump(GameSystem& system) = 0;

  struct LineCode {
    std::vector<uint8_t> code;  // empty for a blank line
    std::string error;          // UTF-8; empty when the line can run
    size_t column = 0;          // of the error, in characters from 1
  };
  // Assembles one line of MES assembly (UTF-8) for the command prompt.
  virtual LineCode AssembleLine(std::string_view utf8_line) = 0;

 protected:
  ~DeveloperTools() = default;
};

}  // namespace tvx
