// The names the MES language defines: opcode mnemonics, registers and expression keywords.
// All of them are matched regardless of case; labels, which are the writer's own, are not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvx::mes {

// Registers 0-25 have letter names: A-Z for the 16-bit bank, A32-Z32 for the 32-bit one.
inline constexpr int kNamedRegisters = 26;

std::optional<uint8_t> FindOpcode(std::string_view name);
std::optional<uint8_t> Register16Named(std::string_view name);
std::optional<uint8_t> Register32Named(std::string_view name);

// True for the keywords of the language: FLAG, DIM16, DIM32, BYTE, RANDOM, RAW, R16, R32,
// KIND and DB.
bool IsKeyword(std::string_view name, std::string_view keyword);
bool IsAnyKeyword(std::string_view name);

// Why `name` cannot be a label ("the register A", "the opcode END"...), or nothing when it can.
std::optional<std::string> ReservedNameKind(std::string_view name);

// The names the disassembler writes: "A" or "R16(30)", "A32" or "R32(30)".
std::string Register16Name(uint8_t number);
std::string Register32Name(uint8_t number);

}  // namespace tvx::mes
