#include "script/variable_area.h"

#include <algorithm>

namespace tvx {

uint16_t VariableArea::Register16(int r) const {
  if (r < 0 || r > 25) return 0;
  const size_t at = kRegisters16Offset + 2 * static_cast<size_t>(r);
  return static_cast<uint16_t>(memory_[at] | (memory_[at + 1] << 8));
}

void VariableArea::SetRegister16(int r, uint16_t value) {
  if (r < 0 || r > 25) return;
  const size_t at = kRegisters16Offset + 2 * static_cast<size_t>(r);
  memory_[at] = static_cast<uint8_t>(value);
  memory_[at + 1] = static_cast<uint8_t>(value >> 8);
}

void VariableArea::SetScriptName(std::string_view name) {
  const size_t n = std::min(name.size(), kScriptNameSize - 1);
  std::fill_n(memory_.begin(), kScriptNameSize, 0);
  std::copy_n(name.begin(), n, memory_.begin());
}

std::string_view VariableArea::ScriptName() const {
  const auto* begin = reinterpret_cast<const char*>(memory_.data());
  return {begin, strnlen(begin, kScriptNameSize)};
}

void VariableArea::Reset(uint32_t move_speed) {
  std::fill_n(memory_.begin(), kVariableAreaSize, 0);
  SetRegister16(kRegisterW, static_cast<uint16_t>(move_speed * 20));
}

}  // namespace tvx
