// Problems found in the source, reported as FILE:LINE:COLUMN: message.
#pragma once

#include <cstddef>
#include <string>

namespace tvx::mes {

// A problem inside one line: the byte offset of the offending token in that line.
struct LineProblem {
  size_t offset = 0;
  std::string message;
};

}  // namespace tvx::mes
