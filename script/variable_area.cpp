#include "script/variable_area.h"

#include <algorithm>
#include <cstring>

#include "resources/byte_order.h"

namespace tvx {

void VariableArea::Store16(size_t base, int i, int count, uint16_t value) {
  if (i < 0 || i >= count) return;
  bytes::StoreLe16(memory_, base + 2 * static_cast<size_t>(i), value);
}

uint32_t VariableArea::Load32(size_t base, int i, int count) const {
  if (i < 0 || i >= count) return 0;
  return bytes::LoadLe32(std::span<const uint8_t>(memory_), base + 4 * static_cast<size_t>(i));
}

void VariableArea::Store32(size_t base, int i, int count, uint32_t value) {
  if (i < 0 || i >= count) return;
  bytes::StoreLe32(memory_, base + 4 * static_cast<size_t>(i), value);
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

void VariableArea::RedoSystemLinks(uint32_t move_speed) {
  SetSystemFlag(kFlagAnimationsRun, true);
  bytes::StoreLe32(memory_, kArray0AddressOffset,
                   kVariableAreaAddress + static_cast<uint32_t>(kSystemWordsOffset));
  SetWord(kWordInit, kInitWord);
  SetPointer(7, kScriptImageAddress);
  SetPointer(0, kVariableAreaAddress);
  SetPointer(10, kScratchBlockAddress);
  SetPointer(8, kMenuCodeTableAddress);
  SetPointer(9, kMenuNumberListAddress);
  SetRegister16(kRegisterW, static_cast<uint16_t>(move_speed * 20));
}

void VariableArea::Initialise(uint32_t move_speed) {
  std::fill_n(memory_.begin(), kVariableAreaSize, 0);
  RedoSystemLinks(move_speed);
  SetPointer(1, kStagingOffset);
  SetWord(kWordSystemFlags, 15);
  SetWord(kWordWindowLeft, 0);
  SetWord(kWordWindowTop, 0);
  SetWord(kWordWindowRight, 640);
  SetWord(kWordWindowBottom, 480);
  SetWord(kWordOutlineColour, 0);
  SetWord(kWordFaceColour, 0x7FFF);
  SetWord(kWordFontWidth, 16);
  SetWord(kWordFontHeight, 16);
  SetWord(kWordCharAdvance, 16);
  SetWord(kWordLineAdvance, 16);
  SetWord(kWordKeyColour, 0);
}

}  // namespace tvx
