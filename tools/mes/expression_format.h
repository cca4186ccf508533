// Expressions back to source text, with only the parentheses the precedence needs.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tools/mes/expression.h"

namespace tvx::mes {

std::string FormatExpression(const ExprNode& node);
// A number as the disassembler writes it: decimal, hexadecimal from 0x10000 on.
std::string FormatNumber(uint32_t value);
// RAW(0x01, 0x02)
std::string FormatRaw(std::span<const uint8_t> bytes);
// 0x1F
std::string FormatByte(uint8_t byte);

}  // namespace tvx::mes
