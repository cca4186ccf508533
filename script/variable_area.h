// The script-visible store: 4096 bytes of fixed layout, followed directly by the script
// image in one block, so that variable offsets past 4095 run on into the image. The same
// 4096 bytes are a save file.
//
//   0     128   script name, NUL-terminated
//   128   2048  flags 0-2047 (flag n at 128 + n)
//   2176  4     VmAddress of 16-bit array 0 (the system words after initialisation)
//   2180  52    16-bit registers A-Z (r at 2180 + 2r)
//   2232  52    system words 0-25
//   2284  104   32-bit registers A-Z (r at 2284 + 4r)
//   2388  1708  system pointers: 32-bit array 0, 427 elements
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "archive/load_space.h"
#include "resources/byte_order.h"
#include "script/vm_memory.h"

namespace tvx {

inline constexpr size_t kVariableAreaSize = 4096;
inline constexpr size_t kScriptImageSize = 3'837'952;

// System words with engine meaning.
enum SystemWord : int {
  kWordInit = 0,
  kWordTargetPlane = 1,
  kWordSystemFlags = 2,
  kWordMouseX = 3,
  kWordMouseY = 4,
  kWordWindowLeft = 5,
  kWordWindowTop = 6,
  kWordWindowRight = 7,
  kWordWindowBottom = 8,
  kWordCursorX = 9,
  kWordCursorY = 10,
  kWordOutlineColour = 11,
  kWordFaceColour = 12,
  kWordNumberFormat = 13,
  kWordFontWidth = 14,
  kWordFontHeight = 15,
  kWordGlyphStyle = 16,
  kWordCharAdvance = 17,
  kWordLineAdvance = 18,
  kWordPictureX = 19,
  kWordPictureY = 20,
  kWordPictureWidth = 21,
  kWordPictureHeight = 22,
  kWordKeyColour = 23,
  kWordMenuItemCount = 24,
  kWordFoundItem = 25,
};

// Bits of the system flags word.
enum SystemFlag : uint16_t {
  kFlagAnimationsRun = 0x0004,
  kFlagMenuEnd = 0x0008,
  kFlagRestart = 0x0010,
  kFlagProcSaved = 0x0040,
  kFlagVoiceEnabled = 0x0100,
  kFlagSoundEnabled = 0x0200,
  kFlagMeasure = 0x0400,
  kFlagMenuWaits = 0x0800,
};

class VariableArea {
 public:
  static constexpr size_t kScriptNameSize = 128;
  static constexpr size_t kFlagsOffset = 128;
  static constexpr size_t kFlagCount = 2048;
  static constexpr size_t kArray0AddressOffset = 2176;
  static constexpr size_t kRegisters16Offset = 2180;
  static constexpr size_t kSystemWordsOffset = 2232;
  static constexpr size_t kRegisters32Offset = 2284;
  static constexpr size_t kSystemPointersOffset = 2388;
  static constexpr size_t kSystemPointerCount = 427;
  static constexpr int kRegisterS = 18;
  static constexpr int kRegisterW = 22;
  static constexpr uint16_t kInitWord = 2632;
  static constexpr uint32_t kStagingOffset = 0x20000;

  std::span<uint8_t, kVariableAreaSize> bytes() {
    return std::span<uint8_t, kVariableAreaSize>(memory_.data(), kVariableAreaSize);
  }
  std::span<uint8_t, kScriptImageSize> image() {
    return std::span<uint8_t, kScriptImageSize>(memory_.data() + kVariableAreaSize,
                                                kScriptImageSize);
  }
  // The whole block: variables, then the image, as script addresses see it.
  std::span<uint8_t> block() { return memory_; }
  // The staging area: the image from the offset in system pointer 1 on, where pictures are
  // loaded before decoding and compressed files before expansion.
  std::span<uint8_t> Staging() {
    const auto all = image();
    return std::span<uint8_t>(all).subspan(std::min<size_t>(Pointer(1), all.size()));
  }
  // Where the file loaders stage and move compressed input.
  LoadSpace FileLoadSpace() { return {Staging(), image()}; }

  uint8_t Flag(size_t n) const { return n < kFlagCount ? memory_[kFlagsOffset + n] : 0; }
  void SetFlag(size_t n, uint8_t value) {
    if (n < kFlagCount) memory_[kFlagsOffset + n] = value;
  }
  // Registers 0-25; others read 0 and are not written (scripts reach them by address).
  uint16_t Register16(int r) const { return Load16(kRegisters16Offset, r, 26); }
  void SetRegister16(int r, uint16_t value) { Store16(kRegisters16Offset, r, 26, value); }
  uint32_t Register32(int r) const { return Load32(kRegisters32Offset, r, 26); }
  void SetRegister32(int r, uint32_t value) { Store32(kRegisters32Offset, r, 26, value); }
  uint16_t Word(int k) const { return Load16(kSystemWordsOffset, k, 26); }
  void SetWord(int k, uint16_t value) { Store16(kSystemWordsOffset, k, 26, value); }
  uint32_t Pointer(int k) const {
    return Load32(kSystemPointersOffset, k, static_cast<int>(kSystemPointerCount));
  }
  void SetPointer(int k, uint32_t value) {
    Store32(kSystemPointersOffset, k, static_cast<int>(kSystemPointerCount), value);
  }
  uint16_t SystemFlags() const { return Word(kWordSystemFlags); }
  bool HasSystemFlag(uint16_t bit) const { return (SystemFlags() & bit) != 0; }
  void SetSystemFlag(uint16_t bit, bool on) {
    SetWord(kWordSystemFlags,
            static_cast<uint16_t>(on ? SystemFlags() | bit : SystemFlags() & ~bit));
  }

  void SetScriptName(std::string_view name);
  std::string_view ScriptName() const;

  // Start-up: clears the store and sets every initial value (register W = speed × 20).
  void Initialise(uint32_t move_speed);
  // What a loaded save file needs again: the addresses of this run and register W.
  void RedoSystemLinks(uint32_t move_speed);

 private:
  // Inline: the interpreter reads the system flags before every command.
  uint16_t Load16(size_t base, int i, int count) const {
    if (i < 0 || i >= count) return 0;
    return bytes::LoadLe16(std::span<const uint8_t>(memory_), base + 2 * static_cast<size_t>(i));
  }
  void Store16(size_t base, int i, int count, uint16_t value);
  uint32_t Load32(size_t base, int i, int count) const;
  void Store32(size_t base, int i, int count, uint32_t value);

  std::array<uint8_t, kVariableAreaSize + kScriptImageSize> memory_{};
};

}  // namespace tvx
