// One line of MES assembly for the developer's command prompt: the line runs at once, from a
// scratch area, where the script stands. So it may hold one instruction and nothing that
// only makes sense in a file: no labels, nothing with a jump target (IF, JUMP, MENU_ITEM,
// DEFINE_PROC, which would jump inside the line or leave behind addresses of code that the
// next line overwrites), and no bytes the interpreter would stop on for ever (a DB of an
// undefined opcode, an instruction cut off).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::mes {

struct LineAssembly {
  std::vector<uint8_t> code;  // empty for a blank line or a comment
  std::string error;          // UTF-8; empty when the line can run
  size_t column = 0;          // of the offending token, in characters from 1
  bool ok() const { return error.empty(); }
};

LineAssembly AssembleLine(std::string_view utf8_line);

}  // namespace tvx::mes
