// How instructions are written in the source where that differs from the bytecode's own
// operand order and types (script/opcodes.h).
#pragma once

#include <cstdint>

#include "script/opcodes.h"

namespace tvx::mes {

// The byte operand of these opcodes is a register number, written A-Z.
constexpr bool ByteOperandIsRegister(uint8_t opcode) {
  return opcode == kSetReg16 || opcode == kSetBytes || opcode == kSetReg32;
}

// MENU_ITEM is written "MENU_ITEM target, params": the target first, which reads better
// with long parameter lists, though the bytecode stores it after them.
constexpr bool TargetWrittenFirst(uint8_t opcode) {
  return opcode == kMenuItem;
}

// NEWLINE without an operand stands for NEWLINE 0.
constexpr bool ByteOperandOptional(uint8_t opcode) {
  return opcode == kNewline;
}

}  // namespace tvx::mes
