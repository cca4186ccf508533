// The text form of a maze map (docs/tools.md, "maze"): a grid drawn in characters, where a
// wall two cells share is drawn once, plus lines for what a grid cannot say.
//
//   size 3 2                  # optional once there is a grid
//   +---+---+---+
//   | 5     |   #             # '|' a wall of set 1, '#' a door, a number the cell's event
//   +---+===+   +             # '-' set 1, '=' set 2, ' ' open, a hex digit any value
//   |       H 12|
//   +---+---+---+
//   wall 1 0 east 0           # one side of one cell: a one-way passage
//   spare 2 1 7               # the cell's fourth byte
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/maze_map.h"

namespace tvx::tool::maze {

struct MapTextResult {
  MazeMap map;  // only meaningful when there are no errors
  // "FILE:LINE:COLUMN: message", in source order: nothing may be built while there are any.
  std::vector<std::string> errors;
  // "FILE:LINE:COLUMN: warning: message": maps the engine walks, but likely not as meant.
  std::vector<std::string> warnings;
  bool ok() const { return errors.empty(); }
};

// `file_name` only prefixes the messages.
MapTextResult ParseMapText(std::string_view text, std::string_view file_name);

// The text of any map, which ParseMapText turns back into the same map: the grid shows the
// side of the cell above or left of each wall, and 'wall' lines the other side where it
// differs. `notes` become comments, `title` the first comment.
std::string FormatMapText(const MazeMap& map, std::string_view title,
                          const std::vector<std::string>& notes = {});

}  // namespace tvx::tool::maze
