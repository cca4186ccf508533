// G16 pictures against a plain loader kept here that places each pixel as the stream yields
// it: pictures on and off every edge of the plane, odd widths, streams cut anywhere or
// carrying more than the picture needs (the decode stops inside a reference once every row
// is there, which decides what the next picture's stream finds in the ring), and one loader
// used for many pictures in a row.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "archive/lzss_encoder.h"
#include "graphics/picture_loader.h"
#include "resources/byte_order.h"

namespace tvx {
namespace {

struct PlainG16Loader {
  std::array<uint8_t, 4096> ring{};

  void Load(const std::vector<uint8_t>& file, VramPlane& plane) {
    const uint32_t x = bytes::LoadLe16(file, 0), y = bytes::LoadLe16(file, 2);
    const uint32_t width = bytes::LoadLe16(file, 4), height = bytes::LoadLe16(file, 6);
    if (width == 0 || height == 0) return;
    const uint32_t row_pixels = (width + 1) & ~1u;
    std::fill_n(ring.begin(), 0xFEE, uint8_t{0});
    size_t write = 0xFEE, read = 8;
    uint32_t pixel = 0;  // pixels done, padding included
    bool high = false;
    uint8_t low = 0;
    // False once every row is there.
    auto put = [&](uint8_t byte) {
      ring[write] = byte;
      write = (write + 1) & 0xFFF;
      if (!high) {
        low = byte;
        high = true;
        return true;
      }
      high = false;
      const uint32_t column = pixel % row_pixels;
      const int64_t row = int64_t{y} + height - 1 - pixel / row_pixels;
      if (x + column < plane.width && row >= 0 && row < plane.height)
        plane.At(x + column, static_cast<uint32_t>(row)) = static_cast<uint16_t>(byte << 8 | low);
      return ++pixel < row_pixels * height;
    };
    for (;;) {
      if (read == file.size()) return;
      const unsigned flags = file[read++];
      for (int bit = 0; bit < 8; ++bit) {
        if (flags >> bit & 1) {
          if (read == file.size()) return;
          if (!put(file[read++])) return;
        } else {
          if (file.size() - read < 2) return;
          const size_t offset = file[read] | (file[read + 1] & 0xF0u) << 4;
          const size_t count = (file[read + 1] & 0x0Fu) + 3;
          read += 2;
          for (size_t k = 0; k < count; ++k)
            if (!put(ring[(offset + k) & 0xFFF])) return;
        }
      }
    }
  }
};

struct Plane {
  std::vector<uint16_t> memory;
  VramPlane plane;
  Plane(uint16_t w, uint16_t h) : memory(size_t{w} * h, 0x5A5A) { plane = {memory, 0, 0, w, h}; }
};

std::vector<uint8_t> RandomG16(std::mt19937& random, uint16_t width, uint16_t height) {
  std::vector<uint8_t> file(PictureLoader::kG16HeaderSize);
  bytes::StoreLe16(file, 0, static_cast<uint16_t>(random() % 48));
  bytes::StoreLe16(file, 2, static_cast<uint16_t>(random() % 40));
  bytes::StoreLe16(file, 4, width);
  bytes::StoreLe16(file, 6, height);
  std::vector<uint8_t> stream;
  if (random() % 2 == 0) {
    // A real picture (sometimes with more pixels than its header asks for).
    std::vector<uint8_t> pixels(size_t{(width + 1u) & ~1u} * height * 2 + random() % 3 * 40);
    uint8_t value = 0;
    for (auto& b : pixels) b = random() % 4 == 0 ? value = static_cast<uint8_t>(random()) : value;
    stream = LzssEncoder().Encode(pixels);
  } else {
    // Any bytes: references everywhere in the ring, repeating themselves, wrapping.
    stream.resize(random() % 3000);
    for (auto& b : stream) b = static_cast<uint8_t>(random() % 3 == 0 ? 0 : random());
  }
  if (random() % 3 == 0) stream.resize(random() % (stream.size() + 1));  // cut anywhere
  file.insert(file.end(), stream.begin(), stream.end());
  return file;
}

TEST(Pictures, G16AgreesWithAPlainLoader) {
  std::mt19937 random(816);
  PictureLoader loader;
  PlainG16Loader plain;
  for (int round = 0; round < 1500; ++round) {
    const uint16_t pw = static_cast<uint16_t>(1 + random() % 40);
    const uint16_t ph = static_cast<uint16_t>(1 + random() % 30);
    uint16_t width = static_cast<uint16_t>(1 + random() % 45);
    uint16_t height = static_cast<uint16_t>(1 + random() % 35);
    if (round % 100 == 7) {
      width = 2047;  // too big for the loader's buffer: decoded straight onto the plane
      height = 1100;
    }
    const std::vector<uint8_t> file = RandomG16(random, width, height);
    Plane expected(pw, ph), actual(pw, ph);
    plain.Load(file, expected.plane);
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_TRUE(loader.LoadG16(file, actual.plane));
    ASSERT_EQ(actual.memory, expected.memory);
  }
}

}  // namespace
}  // namespace tvx
