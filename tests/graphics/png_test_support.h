// Hand-made PNG files for the picture tool tests: any colour type and bit depth, plain or
// interlaced, deflated as stored blocks. The tests build their inputs with this rather than
// with the writer they check. And a comparison of pictures that names the first difference.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/png_io.h"

namespace tvx::tool::test {

// Equal sizes and pixels; otherwise says where the first difference lies.
inline ::testing::AssertionResult SamePicture(const Picture555& actual,
                                              const Picture555& expected) {
  if (actual.width != expected.width || actual.height != expected.height)
    return ::testing::AssertionFailure() << actual.width << " x " << actual.height << " instead of "
                                         << expected.width << " x " << expected.height;
  for (uint32_t y = 0; y < actual.height; ++y) {
    for (uint32_t x = 0; x < actual.width; ++x) {
      if (actual.At(x, y) != expected.At(x, y))
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is 0x" << std::hex << actual.At(x, y)
               << " instead of 0x" << expected.At(x, y);
    }
  }
  return ::testing::AssertionSuccess();
}

struct PngLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t bit_depth = 8;
  uint8_t colour_type = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
  // The image's rows as the file packs them (samples big-endian, sub-byte samples from the
  // high bits), without filter bytes.
  std::vector<std::vector<uint8_t>> rows;
  std::vector<uint8_t> palette;  // PLTE: RGB triples
  std::vector<uint8_t> trns;     // tRNS as stored
  bool interlaced = false;       // Adam7; only for whole-byte pixels
};

inline PngLayout Layout(uint32_t width, uint32_t height, uint8_t bit_depth, uint8_t colour_type,
                        std::vector<std::vector<uint8_t>> rows) {
  PngLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bit_depth = bit_depth;
  layout.colour_type = colour_type;
  layout.rows = std::move(rows);
  return layout;
}

inline uint32_t PngCrc(std::span<const uint8_t> data, uint32_t crc = 0xFFFFFFFFu) {
  for (const uint8_t byte : data) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return crc;
}

inline void PutBe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

inline void PutChunk(std::vector<uint8_t>& png, std::string_view type,
                     std::span<const uint8_t> data) {
  PutBe32(png, static_cast<uint32_t>(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type.begin(), type.end());
  png.insert(png.end(), data.begin(), data.end());
  PutBe32(png, PngCrc(std::span(png).subspan(start)) ^ 0xFFFFFFFFu);
}

// A zlib stream of stored blocks.
inline std::vector<uint8_t> StoredZlib(std::span<const uint8_t> data) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t size = std::min<size_t>(data.size() - at, 65535);
    const bool last = at + size == data.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(size));
    out.push_back(static_cast<uint8_t>(size >> 8));
    out.push_back(static_cast<uint8_t>(~size));
    out.push_back(static_cast<uint8_t>(~size >> 8));
    out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(at),
               data.begin() + static_cast<ptrdiff_t>(at + size));
    at += size;
  } while (at < data.size());
  uint32_t a = 1, b = 0;
  for (const uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(out, b << 16 | a);
  return out;
}

inline std::vector<uint8_t> IhdrData(const PngLayout& layout) {
  std::vector<uint8_t> ihdr;
  PutBe32(ihdr, layout.width);
  PutBe32(ihdr, layout.height);
  ihdr.insert(ihdr.end(), {layout.bit_depth, layout.colour_type, 0, 0,
                           static_cast<uint8_t>(layout.interlaced ? 1 : 0)});
  return ihdr;
}

inline constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                         '\r', '\n', 0x1A, '\n'};

// The filtered image data: every row (or, interlaced, every row of every pass) after a 0
// filter byte.
inline std::vector<uint8_t> FilteredRows(const PngLayout& layout) {
  std::vector<uint8_t> raw;
  if (!layout.interlaced) {
    for (const auto& row : layout.rows) {
      raw.push_back(0);
      raw.insert(raw.end(), row.begin(), row.end());
    }
    return raw;
  }
  static constexpr std::array<std::array<uint32_t, 4>, 7> kPasses = {{{0, 0, 8, 8},
                                                                      {4, 0, 8, 8},
                                                                      {0, 4, 4, 8},
                                                                      {2, 0, 4, 4},
                                                                      {0, 2, 2, 4},
                                                                      {1, 0, 2, 2},
                                                                      {0, 1, 1, 2}}};
  const size_t pixel_bytes = layout.rows.empty() ? 0 : layout.rows[0].size() / layout.width;
  for (const auto& [x0, y0, dx, dy] : kPasses) {
    if (x0 >= layout.width || y0 >= layout.height) continue;
    for (uint32_t y = y0; y < layout.height; y += dy) {
      raw.push_back(0);
      for (uint32_t x = x0; x < layout.width; x += dx) {
        const auto pixel = layout.rows[y].begin() + static_cast<ptrdiff_t>(x * pixel_bytes);
        raw.insert(raw.end(), pixel, pixel + static_cast<ptrdiff_t>(pixel_bytes));
      }
    }
  }
  return raw;
}

inline std::vector<uint8_t> BuildPng(const PngLayout& layout) {
  std::vector<uint8_t> png(kPngSignature.begin(), kPngSignature.end());
  PutChunk(png, "IHDR", IhdrData(layout));
  if (!layout.palette.empty()) PutChunk(png, "PLTE", layout.palette);
  if (!layout.trns.empty()) PutChunk(png, "tRNS", layout.trns);
  PutChunk(png, "IDAT", StoredZlib(FilteredRows(layout)));
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace tvx::tool::test
