// The MES bytecode: opcode numbers, names and operand grammar, shared by the interpreter (for
// traces), the assembler and the disassembler.
//
// An instruction is an opcode byte and its operands. Operand building blocks:
//   Byte      one byte
//   U16       two bytes, little-endian
//   Target    four bytes, little-endian: an absolute program counter
//   Expr      postfix expression code ended by 0xFF (see expression_code.h)
//   ExprList  Expr, then a separator byte: non-zero = another Expr follows, 0 = end
//   Params    parameters, each a kind byte: 1 text up to and including 0x00, 2 an Expr,
//             anything else a parameter with nothing after it; a 0x00 kind ends the list
//   TextRun   bytes up to and including 0x00
// Bytes 0x81-0xFE at an instruction start begin a double-byte text run without an opcode.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tvx::mes {

enum class Operand : uint8_t { Byte, U16, Target, Expr, ExprList, Params, TextRun };

enum Opcode : uint8_t {
  kEnd = 0,
  kText = 1,
  kTextHalf = 2,
  kSetFlags = 3,
  kSetReg16 = 4,
  kSetFlagsAt = 5,
  kSetBytes = 6,
  kSetDim16 = 7,
  kSetDim32 = 8,
  kIf = 9,
  kJump = 10,
  kSyscall = 11,
  kLoadScript = 12,
  kCallScript = 13,
  kMenuItem = 14,
  kCallProc = 15,
  kEffect = 16,
  kNewline = 17,
  kDefineProc = 18,
  kMenuRun = 19,
  kSetReg32 = 20,
};
inline constexpr int kOpcodeCount = 21;

struct OpcodeInfo {
  std::string_view name;
  uint8_t operand_count;
  std::array<Operand, 3> operands;
};

// Indexed by opcode. The operands in the order they stand in the bytecode.
inline constexpr std::array<OpcodeInfo, kOpcodeCount> kOpcodes = {{
    {"END", 0, {}},
    {"TEXT", 1, {Operand::TextRun}},
    {"TEXT_HALF", 1, {Operand::TextRun}},
    {"SET_FLAGS", 2, {Operand::U16, Operand::ExprList}},
    {"SET_REG16", 2, {Operand::Byte, Operand::ExprList}},
    {"SET_FLAGS_AT", 2, {Operand::Expr, Operand::ExprList}},
    {"SET_BYTES", 3, {Operand::Expr, Operand::Byte, Operand::ExprList}},
    {"SET_DIM16", 3, {Operand::Expr, Operand::Byte, Operand::ExprList}},
    {"SET_DIM32", 3, {Operand::Expr, Operand::Byte, Operand::ExprList}},
    {"IF", 2, {Operand::Expr, Operand::Target}},
    {"JUMP", 1, {Operand::Target}},
    {"SYSCALL", 2, {Operand::Expr, Operand::Params}},
    {"LOAD_SCRIPT", 1, {Operand::Params}},
    {"CALL_SCRIPT", 1, {Operand::Params}},
    {"MENU_ITEM", 2, {Operand::Params, Operand::Target}},
    {"CALL_PROC", 1, {Operand::Params}},
    {"EFFECT", 1, {Operand::Params}},
    {"NEWLINE", 1, {Operand::Byte}},
    {"DEFINE_PROC", 2, {Operand::Expr, Operand::Target}},
    {"MENU_RUN", 0, {}},
    {"SET_REG32", 2, {Operand::Byte, Operand::ExprList}},
}};

inline constexpr bool IsTextLead(uint8_t byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace tvx::mes
