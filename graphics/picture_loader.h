// Picture files onto planes: the compressed G16 picture, and the raw layout.
//
//   G16:  u16 x, u16 y, u16 width, u16 height (little-endian), then an LZSS stream whose
//         output bytes, in pairs (low byte first), are pixels: `height` rows, bottom row
//         first, each row width rounded up to an even number of pixels (padding included).
//   raw:  pixel rows from offset 54, each (width × 2) rounded up to 4 bytes, bottom row
//         first; u32 width at 564, u32 height at 568, u16 x at 584, u16 y at 588.
//
// Pixels outside the plane are not written; a stream that ends early leaves the rest.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "archive/lzss_decoder.h"
#include "graphics/vram_plane_set.h"

namespace tvx {

struct PictureGeometry {
  uint16_t x = 0;
  uint16_t y = 0;
  uint16_t width = 0;
  uint16_t height = 0;
};

class PictureLoader {
 public:
  static constexpr size_t kG16HeaderSize = 8;
  static constexpr size_t kRawPixelsOffset = 54;
  static constexpr size_t kRawHeaderEnd = 590;

  // Decodes a picture file (as read) onto the plane; `g16` chooses the layout. False for a
  // file too short to hold its header; the picture's geometry is then in last().
  bool Load(std::span<const uint8_t> file, VramPlane& plane, bool g16);
  bool LoadG16(std::span<const uint8_t> file, VramPlane& plane);
  bool LoadRaw(std::span<const uint8_t> file, VramPlane& plane);
  const PictureGeometry& last() const { return last_; }
  // Whether the file's header makes sense in the layout: a size and place that a plane can
  // hold and, for the raw layout, the rows within the file. Used to tell a maker that the
  // pictures are of the other layout than the settings choose; loading never depends on it.
  static bool LooksLike(std::span<const uint8_t> file, bool g16);

 private:
  // Pictures whose pixel stream is larger than this (beyond any screen) are decoded straight
  // onto the plane byte by byte rather than through a buffer of that size.
  static constexpr size_t kMaxBufferedStream = size_t{4} << 20;
  void LoadG16Streamed(std::span<const uint8_t> file, VramPlane& plane);

  LzssDecoder decoder_;
  std::vector<uint8_t> stream_;  // the decoded pixel stream, kept between pictures
  PictureGeometry last_;
};

}  // namespace tvx
