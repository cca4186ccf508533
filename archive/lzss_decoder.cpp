#include "archive/lzss_decoder.h"

#include <algorithm>
#include <cstring>

namespace tvx {
namespace {

// Copies `count` (at most kMaxMatch) bytes between ranges that do not overlap, in a few
// fixed-size moves rather than a byte loop or a library call.
inline void CopyShort(uint8_t* to, const uint8_t* from, size_t count) {
  if (count >= 8) {
    if (count > 16) {
      std::memcpy(to, from, 16);
      std::memcpy(to + count - 16, from + count - 16, 16);
    } else {
      std::memcpy(to, from, 8);
      std::memcpy(to + count - 8, from + count - 8, 8);
    }
  } else if (count >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + count - 4, from + count - 4, 4);
  } else {
    for (size_t k = 0; k < count; ++k) to[k] = from[k];
  }
}

}  // namespace

void LzssDecoder::ResetRing() {
  std::fill_n(ring_.begin(), kFirstWrite, uint8_t{0});
}

uint8_t LzssDecoder::RingBeforeStart(size_t back) const {
  // `back` bytes before the first output byte sits at ring position kFirstWrite - back;
  // only the tail kept from the previous decode differs from zero.
  const size_t position = (kFirstWrite - back) & kRingMask;
  return position >= kFirstWrite ? ring_[position] : uint8_t{0};
}

void LzssDecoder::KeepRingTail(std::span<const uint8_t> produced) {
  // Ring position kFirstWrite + j last received output byte j + 4096 × n.
  for (size_t j = 0; j < kMaxMatch && j < produced.size(); ++j)
    ring_[kFirstWrite + j] = produced[j + (produced.size() - 1 - j) / kRingSize * kRingSize];
}

// The output itself is the history: a reference is copied from the bytes already produced,
// and the ring is read only for what lies before the first output byte (its cleared part and
// the tail from the previous decode), which is rare. At the end the ring's tail is brought up
// to date from the output.
size_t LzssDecoder::Decode(std::span<const uint8_t> packed, std::span<uint8_t> out) {
  const uint8_t* const in = packed.data();
  uint8_t* const dst = out.data();
  const size_t length = packed.size();
  const size_t capacity = out.size();
  size_t read = 0;
  size_t produced = 0;
  complete_ = true;
  unsigned flags = 0;
  for (;;) {
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      if (read == length) break;
      flags = in[read++];
      // A group of eight literals, common in noisy data, is one move.
      if (flags == 0xFF && length - read >= 8 && capacity - produced >= 8) {
        std::memcpy(dst + produced, in + read, 8);
        read += 8;
        produced += 8;
        continue;  // 0xFF >> 1 has no sentinel bit left: the next flag byte is read
      }
      flags |= 0xFF00u;
    }
    if (flags & 1) {
      if (read == length) break;
      if (produced == capacity) {
        complete_ = false;
        break;
      }
      dst[produced++] = in[read++];
      continue;
    }
    if (length - read < 2) break;
    const unsigned b1 = in[read];
    const unsigned b2 = in[read + 1];
    read += 2;
    const size_t offset = b1 | ((b2 & 0xF0u) << 4);
    size_t count = (b2 & 0x0Fu) + kMinMatch;
    if (count > capacity - produced) {
      count = capacity - produced;
      complete_ = false;
    }
    // How far back the reference reads from the byte about to be written, 1..4096 (an
    // offset equal to the write position reads what was written a whole ring earlier).
    const size_t distance = ((kFirstWrite + produced - offset - 1) & kRingMask) + 1;
    uint8_t* const to = dst + produced;
    if (distance <= produced) {
      const uint8_t* const from = to - distance;
      if (distance >= count) {
        CopyShort(to, from, count);
      } else if (distance == 1) {
        std::memset(to, *from, count);
      } else {
        for (size_t k = 0; k < count; ++k) to[k] = from[k];  // repeats what it writes
      }
    } else {
      for (size_t k = 0; k < count; ++k)
        to[k] = produced + k >= distance ? dst[produced + k - distance]
                                         : RingBeforeStart(distance - produced - k);
    }
    produced += count;
    if (!complete_) break;
  }
  KeepRingTail(out.first(produced));
  return produced;
}

}  // namespace tvx
