// The postfix expression code: one byte an operation, ended by 0xFF. Values are unsigned
// 32-bit. For binary operators the right operand is on top of the stack.
//
//   0x00-0x7F   push the byte's own value
//   0x80 r      push 16-bit register r
//   0xA0 s      pop i; push element i of 16-bit array s
//   0xC0 r      pop i; push the byte at variable offset (16-bit register r) + i
//   0xE0-0xE4   a+b  a-b  a*b  a/b  a%b
//   0xE5        pop b; push a random number below b
//   0xE6 0xE7   a==1 && b==1,  a==1 || b==1   (logic compares with 1, not non-zero)
//   0xE8-0xEA   a&b  a|b  a^b
//   0xEB-0xF0   a<b  a>b  a<=b  a>=b  a==b  a!=b
//   0xF1 u16    push a 16-bit constant      0xF2 u32   push a 32-bit constant
//   0xF3 u16    push flag n                 0xF4       pop i; push flag i
//   0xF5 s      pop i; push element i of 32-bit array s
//   0xF6 r      push 32-bit register r
//   0xFF        end: pop the result
//   any other byte (0x81-0x9F, 0xA1-0xBF, 0xC1-0xDF, 0xF7-0xFE) pushes its own value
#pragma once

#include <cstdint>

namespace tvx::mes {

enum ExprByte : uint8_t {
  kExprRegister16 = 0x80,
  kExprDim16 = 0xA0,
  kExprByteArray = 0xC0,
  kExprAdd = 0xE0,
  kExprSub = 0xE1,
  kExprMul = 0xE2,
  kExprDiv = 0xE3,
  kExprMod = 0xE4,
  kExprRandom = 0xE5,
  kExprAnd = 0xE6,
  kExprOr = 0xE7,
  kExprBitAnd = 0xE8,
  kExprBitOr = 0xE9,
  kExprBitXor = 0xEA,
  kExprLess = 0xEB,
  kExprGreater = 0xEC,
  kExprLessEqual = 0xED,
  kExprGreaterEqual = 0xEE,
  kExprEqual = 0xEF,
  kExprNotEqual = 0xF0,
  kExprConst16 = 0xF1,
  kExprConst32 = 0xF2,
  kExprFlagConst = 0xF3,
  kExprFlag = 0xF4,
  kExprDim32 = 0xF5,
  kExprRegister32 = 0xF6,
  kExprEnd = 0xFF,
};

// Bytes that push their own value: the shortest encoding of such a constant.
inline constexpr bool PushesItself(uint8_t byte) {
  return byte <= 0x7F || (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xA1 && byte <= 0xBF) ||
         (byte >= 0xC1 && byte <= 0xDF) || (byte >= 0xF7 && byte <= 0xFE);
}

}  // namespace tvx::mes
