// The script-visible store: 4096 bytes of fixed layout (script name, flags, registers,
// system words and pointers), followed directly by the script image in one block.
//
// Stand-in: the layout and the reset of register W are here; the system words, system
// pointers and the links redone after a load come with the script machine.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace tvx {

inline constexpr size_t kVariableAreaSize = 4096;
inline constexpr size_t kScriptImageSize = 3'837'952;

class VariableArea {
 public:
  static constexpr size_t kScriptNameOffset = 0;
  static constexpr size_t kScriptNameSize = 128;
  static constexpr size_t kFlagsOffset = 128;
  static constexpr size_t kFlagCount = 2048;
  static constexpr size_t kRegisters16Offset = 2180;
  static constexpr size_t kSystemWordsOffset = 2232;
  static constexpr size_t kRegisters32Offset = 2284;
  static constexpr size_t kSystemPointersOffset = 2388;
  static constexpr int kRegisterW = 22;

  std::span<uint8_t, kVariableAreaSize> bytes() {
    return std::span<uint8_t, kVariableAreaSize>(memory_.data(), kVariableAreaSize);
  }
  std::span<uint8_t, kScriptImageSize> image() {
    return std::span<uint8_t, kScriptImageSize>(memory_.data() + kVariableAreaSize,
                                                kScriptImageSize);
  }
  // The whole block: variables, then the image, as script addresses see it.
  std::span<uint8_t> block() { return memory_; }

  uint8_t Flag(size_t n) const { return n < kFlagCount ? memory_[kFlagsOffset + n] : 0; }
  void SetFlag(size_t n, uint8_t value) {
    if (n < kFlagCount) memory_[kFlagsOffset + n] = value;
  }
  uint16_t Register16(int r) const;
  void SetRegister16(int r, uint16_t value);
  void SetScriptName(std::string_view name);
  std::string_view ScriptName() const;

  // Clears the variables and sets what start-up sets: register W = movement speed × 20.
  void Reset(uint32_t move_speed);

 private:
  std::array<uint8_t, kVariableAreaSize + kScriptImageSize> memory_{};
};

}  // namespace tvx
