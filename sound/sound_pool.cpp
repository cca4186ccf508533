#include "sound/sound_pool.h"

#include <algorithm>
#include <new>

namespace tvx {

bool SoundPool::Reserve() {
  if (base_) return true;
  base_.reset(new (std::nothrow) uint8_t[kReserve]);
  if (!base_) return false;
  budget_ = kReserve;
  run_.fill(0);
  used_.fill(false);
  return true;
}

void SoundPool::ReleaseAll() {
  base_.reset();
  budget_ = 0;
  run_.fill(0);
  used_.fill(false);
}

std::span<uint8_t> SoundPool::Take(uint32_t n) {
  if (!base_ || n == 0 || n > budget_) return {};
  const size_t granules = (size_t{n} + kGranule) / kGranule;
  for (size_t first = 0; first + granules <= kGranules; ++first) {
    const auto begin = used_.begin() + static_cast<ptrdiff_t>(first);
    const auto busy = std::find(begin, begin + static_cast<ptrdiff_t>(granules), true);
    if (busy != begin + static_cast<ptrdiff_t>(granules)) {
      first = static_cast<size_t>(busy - used_.begin());
      continue;
    }
    std::fill(begin, begin + static_cast<ptrdiff_t>(granules), true);
    run_[first] = static_cast<uint8_t>(granules);
    budget_ -= static_cast<uint32_t>(granules * kGranule);
    uint8_t* at = base_.get() + first * kGranule;
    std::fill(at, at + n, uint8_t{0});
    return {at, n};
  }
  return {};
}

size_t SoundPool::OffsetOf(std::span<const uint8_t> piece) const {
  return static_cast<size_t>(piece.data() - base_.get());
}

void SoundPool::GiveBack(std::span<uint8_t> piece) {
  if (!base_ || piece.empty() || piece.data() < base_.get() ||
      piece.data() >= base_.get() + kReserve)
    return;
  const size_t offset = OffsetOf(piece);
  if (offset % kGranule != 0) return;
  const size_t first = offset / kGranule;
  const size_t granules = run_[first];
  if (granules == 0) return;
  std::fill(used_.begin() + static_cast<ptrdiff_t>(first),
            used_.begin() + static_cast<ptrdiff_t>(first + granules), false);
  run_[first] = 0;
  budget_ += static_cast<uint32_t>(granules * kGranule);
}

}  // namespace tvx
