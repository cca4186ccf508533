// LZSS with a 4096-byte ring, the coding of compressed scripts, data files and the pixel
// stream of G16 pictures.
//
// The stream is a run of groups: a flag byte, then eight items, flag bits taken least
// significant first. Bit 1: one literal byte. Bit 0: a reference of two bytes b1 b2, ring
// offset b1 | (b2 & 0xF0) << 4, length (b2 & 0x0F) + 3. Every byte produced also goes into
// the ring at the write position (first 0xFEE), and the k-th byte of a reference is read
// from (offset + k) & 0xFFF after the ones before it were stored, so a reference may repeat
// what it has just written. Ring positions 0..0xFED start at zero for every decode; the last
// 18 keep what the previous decode of the same decoder left there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tvx {

class LzssDecoder {
 public:
  static constexpr size_t kRingSize = 4096;
  static constexpr size_t kRingMask = kRingSize - 1;
  static constexpr size_t kFirstWrite = 0xFEE;
  static constexpr size_t kMinMatch = 3;
  static constexpr size_t kMaxMatch = 18;

  // Expands `packed` into `out`, stopping at the end of the packed bytes or when `out` is
  // full, whichever comes first. Returns the number of bytes produced. A stream that ends
  // inside a reference stops without producing it.
  size_t Decode(std::span<const uint8_t> packed, std::span<uint8_t> out);
  // Whether the last Decode used up its packed bytes (rather than stopping on a full `out`).
  bool LastDecodeComplete() const { return complete_; }

  // The same coding with another output: `emit(byte)` receives every byte produced and
  // returns false to stop. Used where output is not a plain byte run (picture pixels).
  template <typename Emit>
  void DecodeTo(std::span<const uint8_t> packed, Emit&& emit);

 private:
  void ResetRing();
  // What Decode reads `back` (1..4096) bytes before its first output byte.
  uint8_t RingBeforeStart(size_t back) const;
  // Leaves the ring as writing `produced` into it from the first write position would.
  void KeepRingTail(std::span<const uint8_t> produced);
  std::array<uint8_t, kRingSize> ring_{};
  bool complete_ = true;
};

template <typename Emit>
void LzssDecoder::DecodeTo(std::span<const uint8_t> packed, Emit&& emit) {
  ResetRing();
  size_t write = kFirstWrite;
  size_t read = 0;
  const size_t length = packed.size();
  unsigned flags = 0;
  for (;;) {
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      if (read == length) return;
      flags = packed[read++] | 0xFF00u;
    }
    if (flags & 1) {
      if (read == length) return;
      const uint8_t byte = packed[read++];
      ring_[write] = byte;
      write = (write + 1) & kRingMask;
      if (!emit(byte)) return;
    } else {
      if (read + 2 > length) return;
      const unsigned b1 = packed[read];
      const unsigned b2 = packed[read + 1];
      read += 2;
      const size_t offset = b1 | ((b2 & 0xF0u) << 4);
      const size_t count = (b2 & 0x0Fu) + kMinMatch;
      for (size_t k = 0; k < count; ++k) {
        const uint8_t byte = ring_[(offset + k) & kRingMask];
        ring_[write] = byte;
        write = (write + 1) & kRingMask;
        if (!emit(byte)) return;
      }
    }
  }
}

}  // namespace tvx
