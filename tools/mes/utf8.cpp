#include "tools/mes/utf8.h"

#include <cstdint>
#include <cstdio>

namespace tvx::mes {

std::optional<CodePoint> DecodeUtf8(std::string_view text, size_t pos) {
  const auto lead = static_cast<uint8_t>(text[pos]);
  if (lead < 0x80) return CodePoint{lead, 1};
  size_t length = 0;
  char32_t value = 0;
  uint8_t low = 0x80;
  uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return std::nullopt;
  }
  if (text.size() - pos < length) return std::nullopt;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<uint8_t>(text[pos + i]);
    if (next < low || next > high) return std::nullopt;
    value = value << 6 | (next & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  return CodePoint{value, length};
}

size_t ColumnOf(std::string_view line, size_t pos) {
  size_t column = 1;
  for (size_t i = 0; i < pos && i < line.size(); ++i) {
    // Continuation bytes belong to the character before them.
    if ((static_cast<uint8_t>(line[i]) & 0xC0) != 0x80) ++column;
  }
  return column;
}

std::string CodePointName(char32_t cp) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(cp));
  return buffer;
}

}  // namespace tvx::mes
