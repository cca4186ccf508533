// The decoder against a plain ring decoder kept here, on many random and hostile streams:
// references into the cleared ring and into the tail left by the previous decode, references
// that repeat what they write, streams cut anywhere, and destinations too short.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "archive/lzss_decoder.h"

namespace tvx {
namespace {

// Byte by byte through the ring, keeping the ring between decodes as the decoder does.
struct RingDecoder {
  std::array<uint8_t, 4096> ring{};
  bool complete = true;

  std::vector<uint8_t> Decode(const std::vector<uint8_t>& in, size_t capacity) {
    std::fill_n(ring.begin(), 0xFEE, uint8_t{0});
    std::vector<uint8_t> out;
    size_t write = 0xFEE, read = 0;
    complete = true;
    auto put = [&](uint8_t byte) {
      if (out.size() == capacity) {
        complete = false;
        return false;
      }
      out.push_back(byte);
      ring[write] = byte;
      write = (write + 1) & 0xFFF;
      return true;
    };
    for (;;) {
      if (read == in.size()) return out;
      const unsigned flags = in[read++];
      for (int bit = 0; bit < 8; ++bit) {
        if (flags >> bit & 1) {
          if (read == in.size()) return out;
          if (!put(in[read])) return out;
          ++read;
        } else {
          if (in.size() - read < 2) return out;
          const size_t offset = in[read] | (in[read + 1] & 0xF0u) << 4;
          const size_t count = (in[read + 1] & 0x0Fu) + 3;
          read += 2;
          if (out.size() == capacity) complete = false;
          for (size_t k = 0; k < count; ++k)
            if (!put(ring[(offset + k) & 0xFFF])) return out;
          if (!complete) return out;
        }
      }
    }
  }
};

// A stream of `groups` flag groups whose references mostly aim at hard places.
std::vector<uint8_t> HostileStream(std::mt19937& random, size_t groups) {
  std::vector<uint8_t> out;
  size_t written = 0;  // as if nothing were cut: where the write position is
  for (size_t g = 0; g < groups; ++g) {
    const uint8_t flags = static_cast<uint8_t>(random() % 4 == 0 ? 0xFF : random());
    out.push_back(flags);
    for (int bit = 0; bit < 8; ++bit) {
      if (flags >> bit & 1) {
        out.push_back(static_cast<uint8_t>(random() % 3 == 0 ? 0 : random()));
        ++written;
        continue;
      }
      const size_t write = (0xFEE + written) & 0xFFF;
      const size_t count = 3 + random() % 16;
      size_t offset = 0;
      switch (random() % 7) {
        case 0:
          offset = write - 1 - random() % 4;
          break;  // repeats what it writes
        case 1:
          offset = write - count - random() % 40;
          break;  // just behind, no overlap
        case 2:
          offset = 0xFEE + random() % 18;
          break;  // the kept tail
        case 3:
          offset = 0xFEE - 1 - random() % 40;
          break;  // the cleared ring's end
        case 4:
          offset = write;
          break;  // a whole ring back
        case 5:
          offset = write + 1 + random() % 20;
          break;  // almost a whole ring back
        default:
          offset = random();
          break;
      }
      offset &= 0xFFF;
      out.push_back(static_cast<uint8_t>(offset));
      out.push_back(static_cast<uint8_t>((offset >> 4 & 0xF0) | (count - 3)));
      written += count;
    }
  }
  return out;
}

TEST(LzssDecoder, AgreesWithAPlainRingDecoder) {
  std::mt19937 random(2026);
  LzssDecoder decoder;
  RingDecoder reference;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> packed;
    if (round % 5 == 0) {
      packed.resize(random() % 600);  // noise
      for (auto& b : packed) b = static_cast<uint8_t>(random());
    } else {
      // Long enough now and then for references to wrap the ring many times.
      packed = HostileStream(random, round % 50 == 1 ? 2000 : random() % 80);
    }
    if (random() % 3 == 0) packed.resize(random() % (packed.size() + 1));  // cut anywhere
    const size_t full = reference.ring.size() * 16;  // more than any stream here yields
    size_t capacity = full;
    if (random() % 2 == 0) capacity = random() % 700;
    SCOPED_TRACE("round " + std::to_string(round));
    const std::vector<uint8_t> expected = reference.Decode(packed, capacity);
    std::vector<uint8_t> out(capacity + 4, 0xA5);
    const size_t produced = decoder.Decode(packed, std::span(out).first(capacity));
    ASSERT_EQ(produced, expected.size());
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
    ASSERT_EQ(decoder.LastDecodeComplete(), reference.complete);
    // Nothing past the bytes produced is touched.
    for (size_t i = produced; i < out.size(); ++i) ASSERT_EQ(out[i], 0xA5) << i;
    // Now and then the byte-by-byte form on the same decoder, which must see the same ring.
    if (round % 7 == 0 && capacity > 0) {
      const std::vector<uint8_t> again = reference.Decode(packed, capacity);
      std::vector<uint8_t> emitted;
      decoder.DecodeTo(packed, [&](uint8_t byte) {
        emitted.push_back(byte);
        return emitted.size() < capacity;
      });
      ASSERT_EQ(emitted, again);
    }
  }
}

}  // namespace
}  // namespace tvx
