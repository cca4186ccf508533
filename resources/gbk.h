// Conversion between GBK (the encoding of all game texts) and Unicode.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvx::gbk {

// code: 0x00-0x7F for a single byte, (lead << 8) | trail for a double-byte character.
char32_t ToUnicode(uint16_t code);            // 0 when not a valid GBK code
uint16_t FromUnicode(char32_t cp);            // 0 when not representable
std::string ToUtf8(std::string_view gbk);     // invalid bytes become U+FFFD
std::string FromUtf8(std::string_view utf8);  // unrepresentable characters become '?'

}  // namespace tvx::gbk
