// MES assembly source (.tvs, UTF-8) to bytecode. The language is described in docs/mes.md.
#pragma once

#include <cstdint>
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

// `file_name` only prefixes the messages.
AssembleResult Assemble(std::string_view source, std::string_view file_name);

}  // namespace tvx::mes
