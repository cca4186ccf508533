// The menu items that MENU_ITEM registers and MENU_RUN runs: a code table of 50 addresses,
// the item map (item number → slot) and the item numbers in registration order. The code
// table and the number list are script-visible memory, so they are kept as bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "resources/byte_order.h"

namespace tvx {

class MenuItemTable {
 public:
  static constexpr size_t kSlots = 50;
  static constexpr uint8_t kNoSlot = 0xFF;

  std::span<uint8_t> codeBytes() { return code_; }
  std::span<uint8_t> numberBytes() { return numbers_; }

  uint32_t Code(size_t slot) const {
    return slot < kSlots ? bytes::LoadLe32(std::span<const uint8_t>(code_), 4 * slot) : 0;
  }
  uint8_t SlotOf(uint32_t item) const { return item < kSlots ? map_[item] : kNoSlot; }

  // Clears the table when the previous menu has run.
  void BeginIfNeeded() {
    if (initialised_) return;
    map_.fill(kNoSlot);
    code_.fill(0);
    count_ = 0;
    initialised_ = true;
  }
  // Registers an item whose code starts at `address`. Items beyond the table are dropped.
  void Add(uint32_t item, uint32_t address) {
    if (count_ < kSlots) bytes::StoreLe32(numbers_, 4u * count_++, item);
    for (size_t slot = 0; slot < kSlots; ++slot) {
      if (Code(slot) != 0) continue;
      if (item < kSlots) map_[item] = static_cast<uint8_t>(slot);
      bytes::StoreLe32(code_, 4 * slot, address);
      return;
    }
  }
  // Slots in use from slot 0 up to the first free one.
  uint16_t CountLeadingSlots() const {
    uint16_t n = 0;
    while (n < kSlots && Code(n) != 0) ++n;
    return n;
  }
  // The lowest item number whose slot is `slot`, or 50.
  uint16_t ItemInSlot(uint32_t slot) const {
    for (uint16_t item = 0; item < kSlots; ++item)
      if (map_[item] == slot) return item;
    return kSlots;
  }
  void Finish() { initialised_ = false; }
  void Reset() {
    initialised_ = false;
    count_ = 0;
    map_.fill(kNoSlot);
    code_.fill(0);
    numbers_.fill(0);
  }
  uint16_t count() const { return count_; }

 private:
  std::array<uint8_t, 4 * kSlots> code_{};
  std::array<uint8_t, 4 * kSlots> numbers_{};
  std::array<uint8_t, kSlots> map_{};
  uint16_t count_ = 0;
  bool initialised_ = false;
};

}  // namespace tvx
