// G16 picture files for the tools: writing them from 5-5-5 pixels, checking their pixel
// stream, and reading them back through the engine's own loader, so that what the tools show
// is exactly what the engine draws.
//
// The tools write each row padded to an even pixel count by repeating the row's last pixel
// (the engine draws that padding pixel too, right of the picture, where it lies on the plane;
// a repeat blends in where black would show as a seam, and costs next to nothing packed).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graphics/picture_loader.h"
#include "tools/png_io.h"

namespace tvx::tool {

// Pixels per stored row: the width rounded up to an even number.
constexpr uint32_t G16RowPixels(uint32_t width) {
  return (width + 1) & ~1u;
}
// Bytes the pixel stream must expand to for a picture of this size.
constexpr uint64_t G16PixelBytes(uint32_t width, uint32_t height) {
  return uint64_t{G16RowPixels(width)} * height * 2;
}

// The uncompressed pixel stream: rows bottom first, each padded, pixels little-endian.
std::vector<uint8_t> G16PixelStream(const Picture555& picture);
// A whole G16 file for a picture placed at (x, y). The picture must be 1-65535 pixels on
// each side.
std::vector<uint8_t> EncodeG16(const Picture555& picture, uint16_t x, uint16_t y);

// The header of a G16 file; nullopt for a file shorter than one.
std::optional<PictureGeometry> ReadG16Header(std::span<const uint8_t> file);

// What the pixel stream of a G16 file expands to, against what its header needs.
struct G16StreamCheck {
  uint64_t needed = 0;    // bytes of pixels the header asks for, padding included
  uint64_t produced = 0;  // bytes the stream gives, counted up to `needed`
  bool more = false;      // the stream goes on beyond `needed`
  bool complete() const { return produced == needed; }
};
G16StreamCheck CheckG16Stream(std::span<const uint8_t> file);

// Decodes a G16 file with the engine's loader onto a scratch plane of the picture's size:
// the picture itself, without padding, rows top to bottom. nullopt with `error` for a file
// of another kind (KnownFormatOf), without a header, an empty or too large picture, or a stream too
// short for its pixels.
std::optional<Picture555> DecodeG16(std::span<const uint8_t> file, std::string& error);

}  // namespace tvx::tool
