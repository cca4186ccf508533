// MES assembly source (.tvs, UTF-8) to bytecode. The language is described in docs/mes.md.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::mes {

struct AssembleResult {
  std::vector<uint8_t> code;
  // "FILE:LINE:COLUMN: message", in source order; `code` is empty unless there are none.
  std::vector<std::string> errors;
  bool ok() const { return errors.empty(); }
};

// The text of the file that `.include` names, by its path (already made relative to the
// including file); nothing when it cannot be read.
using IncludeReader = std::function<std::optional<std::string>(const std::string& path)>;

// `file_name` prefixes the messages and is where included paths start from. Without a
// reader every `.include` is an error.
AssembleResult Assemble(std::string_view source, std::string_view file_name,
                        const IncludeReader& reader = {});

// Reads included files from the disk.
IncludeReader DiskIncludeReader();

}  // namespace tvx::mes
