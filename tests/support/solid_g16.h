// A G16 picture file of one colour, w × h at (x, y) (the whole screen by default), for tests
// that need pictures to load.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "archive/lzss_encoder.h"
#include "resources/byte_order.h"

namespace tvx::testing {

inline std::vector<uint8_t> SolidG16(uint16_t colour, uint16_t w = 640, uint16_t h = 480,
                                     uint16_t x = 0, uint16_t y = 0) {
  // Rows are stored with an even number of pixels.
  const size_t row = (size_t{w} + 1) & ~size_t{1};
  std::vector<uint8_t> pixels;
  for (size_t i = 0; i < row * h; ++i) {
    pixels.push_back(static_cast<uint8_t>(colour));
    pixels.push_back(static_cast<uint8_t>(colour >> 8));
  }
  const auto packed = LzssEncoder().Encode(pixels);
  std::vector<uint8_t> file(8 + packed.size());
  bytes::StoreLe16(file, 0, x);
  bytes::StoreLe16(file, 2, y);
  bytes::StoreLe16(file, 4, w);
  bytes::StoreLe16(file, 6, h);
  std::copy(packed.begin(), packed.end(), file.begin() + 8);
  return file;
}

}  // namespace tvx::testing
