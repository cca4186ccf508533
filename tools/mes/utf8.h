// UTF-8 decoding for the assembler's source text: code points for string literals and
// error messages, and 1-based character columns.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tvx::mes {

struct CodePoint {
  char32_t value = 0;
  size_t length = 0;  // bytes taken by the sequence
};

// The code point starting at `pos`; nothing when the bytes there are not well-formed UTF-8.
std::optional<CodePoint> DecodeUtf8(std::string_view text, size_t pos);

// The 1-based column of byte `pos`, counting characters rather than bytes.
size_t ColumnOf(std::string_view line, size_t pos);

// "U+4E00" style name of a code point.
std::string CodePointName(char32_t cp);

}  // namespace tvx::mes
