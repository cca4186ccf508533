#include "graphics/picture_loader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "resources/byte_order.h"

namespace tvx {

bool PictureLoader::Load(std::span<const uint8_t> file, VramPlane& plane, bool g16) {
  return g16 ? LoadG16(file, plane) : LoadRaw(file, plane);
}

bool PictureLoader::LooksLike(std::span<const uint8_t> file, bool g16) {
  constexpr uint32_t kLargest = 4096;  // beyond every plane
  auto fits = [](uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
    return x < kLargest && y < kLargest && width >= 1 && width <= kLargest && height >= 1 &&
           height <= kLargest;
  };
  if (g16) {
    return file.size() > kG16HeaderSize && fits(bytes::LoadLe16(file, 0), bytes::LoadLe16(file, 2),
                                                bytes::LoadLe16(file, 4), bytes::LoadLe16(file, 6));
  }
  if (file.size() < kRawHeaderEnd) return false;
  const uint32_t width = bytes::LoadLe32(file, 564);
  const uint32_t height = bytes::LoadLe32(file, 568);
  if (!fits(bytes::LoadLe16(file, 584), bytes::LoadLe16(file, 588), width, height)) return false;
  const uint64_t row_bytes = (uint64_t{width} * 2 + 3) & ~uint64_t{3};
  return kRawPixelsOffset + row_bytes * height <= file.size();
}

bool PictureLoader::LoadG16(std::span<const uint8_t> file, VramPlane& plane) {
  if (file.size() < kG16HeaderSize) return false;
  const PictureGeometry header{bytes::LoadLe16(file, 0), bytes::LoadLe16(file, 2),
                               bytes::LoadLe16(file, 4), bytes::LoadLe16(file, 6)};
  last_ = header;
  if (header.height == 0 || header.width == 0) return true;
  const uint32_t row_pixels = (uint32_t{header.width} + 1) & ~1u;
  const size_t needed = size_t{row_pixels} * 2 * header.height;
  if (needed > kMaxBufferedStream) {
    LoadG16Streamed(file, plane);
    return true;
  }
  // The whole pixel stream into a buffer, then row by row onto the plane. The decode stops
  // once every row is there, even inside a reference.
  stream_.resize(needed);
  const size_t produced = decoder_.Decode(file.subspan(kG16HeaderSize), stream_);
  const std::span<const uint8_t> stream = std::span<const uint8_t>(stream_).first(produced);
  const uint32_t x = header.x;
  if (!plane.exists() || x >= plane.width) return true;
  const uint32_t row_limit = std::min<uint32_t>(row_pixels, plane.width - x);
  const size_t row_bytes = size_t{row_pixels} * 2;
  // Decoded row k lands on plane row y + height - 1 - k: the stream is bottom-up.
  for (uint32_t k = 0; k < header.height; ++k) {
    const size_t from = row_bytes * k;
    if (from >= produced) break;
    const int64_t plane_row = int64_t{header.y} + header.height - 1 - k;
    if (plane_row < 0) break;
    if (plane_row >= plane.height) continue;
    // Only whole pixels: a stream that ends inside one leaves it.
    const uint32_t count =
        static_cast<uint32_t>(std::min<size_t>(row_limit, (produced - from) / 2));
    uint16_t* row = plane.pixels.data() + plane.RowOffset(static_cast<uint32_t>(plane_row)) + x;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(row, stream.data() + from, size_t{count} * 2);
    } else {
      for (uint32_t c = 0; c < count; ++c) row[c] = bytes::LoadLe16(stream, from + 2 * c);
    }
  }
  return true;
}

void PictureLoader::LoadG16Streamed(std::span<const uint8_t> file, VramPlane& plane) {
  const PictureGeometry& header = last_;
  const uint32_t row_pixels = (uint32_t{header.width} + 1) & ~1u;
  const uint32_t x = header.x;
  // Decoded row k lands on plane row y + height - 1 - k: the stream is bottom-up.
  int64_t plane_row = int64_t{header.y} + header.height - 1;
  uint32_t rows_left = header.height;
  uint32_t column = 0;  // within the row, padding included
  uint16_t* row = nullptr;
  uint32_t row_limit = 0;  // columns of this row that lie inside the plane
  auto start_row = [&] {
    if (plane.exists() && plane_row >= 0 && plane_row < plane.height && x < plane.width) {
      row = plane.pixels.data() + plane.RowOffset(static_cast<uint32_t>(plane_row)) + x;
      row_limit = std::min<uint32_t>(row_pixels, plane.width - x);
    } else {
      row = nullptr;
      row_limit = 0;
    }
  };
  start_row();
  bool high = false;
  uint8_t low = 0;
  decoder_.DecodeTo(file.subspan(kG16HeaderSize), [&](uint8_t byte) {
    if (!high) {
      low = byte;
      high = true;
      return true;
    }
    high = false;
    if (column < row_limit) row[column] = static_cast<uint16_t>(byte << 8 | low);
    if (++column == row_pixels) {
      column = 0;
      if (--rows_left == 0) return false;  // every row is there: stop, even inside a match
      --plane_row;
      start_row();
    }
    return true;
  });
}

bool PictureLoader::LoadRaw(std::span<const uint8_t> file, VramPlane& plane) {
  if (file.size() < kRawHeaderEnd) return false;
  const uint32_t width = bytes::LoadLe32(file, 564);
  const uint32_t height = bytes::LoadLe32(file, 568);
  const uint16_t x = bytes::LoadLe16(file, 584);
  const uint16_t y = bytes::LoadLe16(file, 588);
  last_ = {x, y, static_cast<uint16_t>(width), static_cast<uint16_t>(height)};
  if (!plane.exists() || width == 0 || height == 0) return true;
  // Rows as a bottom-up bitmap stores them: source row i is picture row height - 1 - i.
  const uint64_t row_bytes = (uint64_t{width} * 2 + 3) & ~uint64_t{3};
  const uint32_t copy = x < plane.width ? std::min<uint32_t>(width, plane.width - x) : 0;
  for (uint32_t i = 0; i < height; ++i) {
    const uint64_t from = kRawPixelsOffset + row_bytes * i;
    if (from + row_bytes > file.size()) break;
    const int64_t plane_row = int64_t{y} + height - 1 - i;
    if (plane_row < 0) break;
    if (plane_row >= plane.height || copy == 0) continue;
    uint16_t* to = &plane.At(x, static_cast<uint32_t>(plane_row));
    for (uint32_t c = 0; c < copy; ++c)
      to[c] = bytes::LoadLe16(file, static_cast<size_t>(from) + 2 * c);
  }
  return true;
}

}  // namespace tvx
