#include "archive/lzss_decoder.h"

#include <algorithm>

namespace tvx {

void LzssDecoder::ResetRing() { std::fill_n(ring_.begin(), kFirstWrite, uint8_t{0}); }

size_t LzssDecoder::Decode(std::span<const uint8_t> packed, std::span<uint8_t> out) {
  ResetRing();
  uint8_t* const ring = ring_.data();
  const uint8_t* const in = packed.data();
  uint8_t* const dst = out.data();
  const size_t length = packed.size();
  const size_t capacity = out.size();
  size_t write = kFirstWrite;
  size_t read = 0;
  size_t produced = 0;
  unsigned flags = 0;
  complete_ = true;
  for (;;) {
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      if (read == length) break;
      flags = in[read++] | 0xFF00u;
    }
    if (flags & 1) {
      if (read == length) break;
      if (produced == capacity) {
        complete_ = false;
        break;
      }
      const uint8_t byte = in[read++];
      ring[write] = byte;
      write = (write + 1) & kRingMask;
      dst[produced++] = byte;
      continue;
    }
    if (read + 2 > length) break;
    const unsigned b1 = in[read];
    const unsigned b2 = in[read + 1];
    read += 2;
    size_t offset = b1 | ((b2 & 0xF0u) << 4);
    size_t count = (b2 & 0x0Fu) + kMinMatch;
    if (count > capacity - produced) {
      count = capacity - produced;
      complete_ = false;
    }
    for (size_t k = 0; k < count; ++k) {
      const uint8_t byte = ring[offset];
      offset = (offset + 1) & kRingMask;
      ring[write] = byte;
      write = (write + 1) & kRingMask;
      dst[produced++] = byte;
    }
    if (!complete_) break;
  }
  return produced;
}

}  // namespace tvx
