#include "tools/mes/names.h"

#include <array>

#include "script/opcodes.h"

namespace tvx::mes {
namespace {

constexpr std::array<std::string_view, 10> kKeywords = {"FLAG", "DIM16", "DIM32", "BYTE", "RANDOM",
                                                        "RAW",  "R16",   "R32",   "KIND", "DB"};

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

std::optional<uint8_t> LetterNumber(char c) {
  const char upper = Upper(c);
  if (upper < 'A' || upper > 'Z') return std::nullopt;
  return static_cast<uint8_t>(upper - 'A');
}

}  // namespace

std::optional<uint8_t> FindOpcode(std::string_view name) {
  for (size_t op = 0; op < kOpcodes.size(); ++op) {
    if (EqualsIgnoringCase(name, kOpcodes[op].name)) return static_cast<uint8_t>(op);
  }
  return std::nullopt;
}

std::optional<uint8_t> Register16Named(std::string_view name) {
  if (name.size() != 1) return std::nullopt;
  return LetterNumber(name[0]);
}

std::optional<uint8_t> Register32Named(std::string_view name) {
  if (name.size() != 3 || name.substr(1) != "32") return std::nullopt;
  return LetterNumber(name[0]);
}

bool IsKeyword(std::string_view name, std::string_view keyword) {
  return EqualsIgnoringCase(name, keyword);
}

bool IsAnyKeyword(std::string_view name) {
  for (std::string_view keyword : kKeywords) {
    if (EqualsIgnoringCase(name, keyword)) return true;
  }
  return false;
}

std::optional<std::string> ReservedNameKind(std::string_view name) {
  if (Register16Named(name) || Register32Named(name)) return "a register name";
  if (const auto op = FindOpcode(name)) return "the opcode " + std::string(kOpcodes[*op].name);
  for (std::string_view keyword : kKeywords) {
    if (EqualsIgnoringCase(name, keyword)) return "the keyword " + std::string(keyword);
  }
  return std::nullopt;
}

std::string Register16Name(uint8_t number) {
  if (number < kNamedRegisters) return std::string(1, static_cast<char>('A' + number));
  return "R16(" + std::to_string(number) + ")";
}

std::string Register32Name(uint8_t number) {
  if (number < kNamedRegisters) return std::string(1, static_cast<char>('A' + number)) + "32";
  return "R32(" + std::to_string(number) + ")";
}

}  // namespace tvx::mes
