// The memory every stream plays from: one 3 MB range reserved at start-up, handed out in
// 64 KB granules. A request of n bytes takes (n + 64 KB) rounded down to 64 KB, placed in
// the lowest free run, so streams created one after another follow each other from the
// bottom; giving a piece back returns all it took, so streams can be created again.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace tvx {

class SoundPool {
 public:
  static constexpr uint32_t kReserve = 0x300000;
  static constexpr uint32_t kGranule = 0x10000;
  static constexpr size_t kGranules = kReserve / kGranule;

  SoundPool() = default;
  SoundPool(const SoundPool&) = delete;
  SoundPool& operator=(const SoundPool&) = delete;

  // False when the range cannot be had.
  bool Reserve();
  // Gives the whole range back; the budget becomes 0.
  void ReleaseAll();
  bool reserved() const { return base_ != nullptr; }
  // Bytes that may still be asked for.
  uint32_t budget() const { return budget_; }

  // n zeroed bytes; empty when n is 0, exceeds the budget or no free run is large enough.
  std::span<uint8_t> Take(uint32_t n);
  // Gives back a piece that Take handed out (anything else is ignored).
  void GiveBack(std::span<uint8_t> piece);
  // Offset of a piece from the start of the range (tests).
  size_t OffsetOf(std::span<const uint8_t> piece) const;

 private:
  std::unique_ptr<uint8_t[]> base_;
  uint32_t budget_ = 0;
  // For the first granule of each piece: how many granules it took; 0 elsewhere.
  std::array<uint8_t, kGranules> run_{};
  std::array<bool, kGranules> used_{};
};

}  // namespace tvx
