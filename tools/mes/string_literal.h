// String literals of the MES language: "..." in UTF-8 in the source, GBK bytes in the
// bytecode. Escapes: \" \\ \n and \xNN (one raw byte).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/mes/diagnostic.h"

namespace tvx::mes {

struct StringScan {
  std::vector<uint8_t> bytes;         // the GBK bytes
  size_t end = 0;                     // offset just after the closing quote
  std::vector<LineProblem> problems;  // bad escapes, characters GBK lacks...
};

// Reads the literal whose opening quote is at `pos` in `line`.
StringScan ScanStringLiteral(std::string_view line, size_t pos);

// The literal that ScanStringLiteral turns back into exactly `bytes`: characters where a
// GBK character encodes back to the same bytes, escapes for everything else.
std::string FormatStringLiteral(std::span<const uint8_t> bytes);

}  // namespace tvx::mes
