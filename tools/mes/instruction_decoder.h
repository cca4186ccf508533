// One instruction of a MES file decoded into the source form the assembler reads back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tvx::mes {

struct DecodedInstruction {
  enum class Status : uint8_t {
    Ok,
    Inexpressible,  // the bytes have no instruction form (a list separator other than 0x01)
    Truncated,      // the file ends inside the instruction
  };
  Status status = Status::Ok;
  size_t size = 0;
  std::string mnemonic;               // empty for a text run without opcode
  std::vector<std::string> operands;  // in source order; the target's entry is left empty
  std::optional<uint32_t> target;
  size_t target_index = 0;
  std::string problem;  // for Inexpressible and Truncated
};

// Decodes the instruction at `offset`, whose first byte is an opcode (0-20) or a text lead
// byte (0x81-0xFE).
DecodedInstruction DecodeInstruction(std::span<const uint8_t> code, size_t offset);

}  // namespace tvx::mes
