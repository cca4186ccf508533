// One statement of the source (an instruction, a text line or DB) to bytes. Labels used as
// jump targets are left for the assembler to fill in once every label is known.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/mes/diagnostic.h"
#include "tools/mes/lexer.h"

namespace tvx::mes {

struct LabelUse {
  size_t position = 0;  // of the four target bytes, within the statement's bytes
  std::string name;
  size_t offset = 0;  // of the name in the line
};

struct ParsedStatement {
  std::vector<uint8_t> bytes;
  std::vector<LabelUse> label_uses;
};

// Parses the statement at the cursor up to the end of the line. Nothing after a problem.
std::optional<ParsedStatement> ParseStatement(TokenCursor& cursor, LineProblem& problem);

}  // namespace tvx::mes
