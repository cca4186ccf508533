// The text form of animation data (docs/tools.md, "anim"): frames and slot programs written
// by people, turned into frames and programs for the block, with every mistake named by
// file, line and column.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/anim_data.h"

namespace tvx::tool::anim {

struct SourceResult {
  AnimData data;  // empty unless there are no errors
  // "FILE:LINE:COLUMN: message", in source order: nothing may be built while there are any.
  std::vector<std::string> errors;
  // "FILE:LINE:COLUMN: warning: message": data the engine plays, but likely not as meant.
  std::vector<std::string> warnings;
  bool ok() const { return errors.empty(); }
};

// `file_name` only prefixes the messages.
SourceResult ParseSource(std::string_view text, std::string_view file_name);

}  // namespace tvx::tool::anim
