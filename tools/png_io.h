// PNG files for the picture tools. Any PNG that libpng reads (palette, grey, alpha, 16-bit,
// interlaced) comes in as the engine's 5-5-5 pixels; 5-5-5 pixels go out as an 8-bit RGB
// PNG. This is the only place that sees libpng.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tvx::tool {

// A picture in the engine's 5-5-5 colours (red in bits 10-14, green 5-9, blue 0-4; bit 15 is
// no colour: clear in pictures read from PNG, ignored when one is written), rows top to
// bottom, unlike the planes.
struct Picture555 {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint16_t> pixels;

  uint16_t At(uint32_t x, uint32_t y) const { return pixels[size_t{y} * width + x]; }
  uint16_t& At(uint32_t x, uint32_t y) { return pixels[size_t{y} * width + x]; }
  bool operator==(const Picture555&) const = default;
};

// The largest pictures the tools take: sides that a G16 header can hold, and no more pixels
// than a 4096 × 4096 picture (larger ones would only be a damaged or a wrong file).
inline constexpr uint32_t kMaxPictureSide = 65535;
inline constexpr uint64_t kMaxPicturePixels = uint64_t{4096} * 4096;

// 8-bit channel to 5 bits, rounded to the nearest level, and back (the top bits repeated
// below, so 31 becomes 255).
constexpr uint16_t To5Bit(uint8_t value) {
  return static_cast<uint16_t>((value * 31 + 127) / 255);
}
constexpr uint8_t To8Bit(uint16_t value) {
  return static_cast<uint8_t>((value & 0x1F) << 3 | (value & 0x1F) >> 2);
}
constexpr uint16_t Pack555(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint16_t>(To5Bit(red) << 10 | To5Bit(green) << 5 | To5Bit(blue));
}

// PNG bytes to pixels; nullopt with `error` saying why (not a PNG, damaged, too large...).
// Alpha is dropped: the colour channels are taken as they are.
std::optional<Picture555> DecodePng(std::span<const uint8_t> file, std::string& error);
// Pixels to the bytes of an 8-bit RGB PNG; bit 15 of a pixel is ignored.
std::optional<std::vector<uint8_t>> EncodePng(const Picture555& picture, std::string& error);

// The same on files; the written file is replaced only once it is complete. Errors name
// the file.
std::optional<Picture555> ReadPngFile(const std::string& path, std::string& error);
bool WritePngFile(const std::string& path, const Picture555& picture, std::string& error);

}  // namespace tvx::tool
