// MES bytecode to assembly source. Any byte string gives source that the assembler turns back
// into exactly the same bytes: instructions where the assembler would write these very bytes,
// RAW(...) for expressions it would write differently, DB for everything else.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tvx::mes {

std::string Disassemble(std::span<const uint8_t> code);

}  // namespace tvx::mes
