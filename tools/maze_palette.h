// The maze view's palette: the 16 colours a 4-bit wall tile indexes, as 16 little-endian u16
// pixels in the engine's 5-5-5 form (red in bits 10-14, green 5-9, blue 0-4, bit 15 clear).
// Made from art (a 16-pixel swatch taken as it is, or any picture reduced to 16 colours),
// shown as a strip of swatches, and used to turn pictures into tile indices.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/png_io.h"

namespace tvx::tool::maze {

inline constexpr size_t kPaletteColours = 16;
inline constexpr size_t kPaletteBytes = kPaletteColours * 2;
using Palette = std::array<uint16_t, kPaletteColours>;

std::vector<uint8_t> WritePalette(const Palette& palette);
// Exactly 32 bytes; `error` says why not. Bit 15 of an entry is kept as it is.
std::optional<Palette> ReadPalette(std::span<const uint8_t> bytes, std::string& error);

// A picture of exactly 16 pixels gives them in reading order. Any other picture is reduced
// to 16 colours by cutting its 5-5-5 colours into boxes (the box of the largest squared
// error is cut across its widest channel where the halves' errors add up to the least),
// the boxes' means then refined by a few rounds of k-means;
// the result is sorted from dark to light, and a picture of fewer colours gives them all,
// the lightest repeated. Deterministic: the same picture always gives the same palette.
struct PaletteMaking {
  Palette palette{};
  bool takenAsIs = false;
  size_t colours = 0;  // distinct colours in the picture
};
PaletteMaking MakePalette(const Picture555& picture);

// The entry nearest to a colour (5-5-5; squared distance over the three channels, the lowest
// index of equals). Bit 15 is ignored on both sides.
uint8_t NearestEntry(const Palette& palette, uint16_t colour);
// The same for a colour in 5-bit channels that need not be whole numbers.
uint8_t NearestEntry(const Palette& palette, float red, float green, float blue);

// 16 swatches of 32 × 32 pixels side by side, entry 0 on the left.
Picture555 PaletteStrip(const Palette& palette);

// A colour's brightness, for ordering (0.299 R + 0.587 G + 0.114 B, in thousandths).
uint32_t Brightness(uint16_t colour);

}  // namespace tvx::tool::maze
