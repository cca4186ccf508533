// Bitmap glyphs for drawing GBK text, from the WenQuanYi Bitmap Song fonts.
//
// Every character occupies a fixed cell: double-byte characters are square, single-byte ones half
// as wide. All glyphs of a face share one baseline, so Latin and Chinese text line up.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tvx {

enum class FontFaceId : uint8_t { Text16, Ui12 };

// One glyph in its cell: rows from top to bottom, bit 15 of a row is the leftmost pixel.
struct Glyph {
  uint8_t width = 0;   // cell width: 16/8 for Text16, 12/6 for Ui12
  uint8_t height = 0;  // 16 or 12
  std::array<uint16_t, 16> rows{};
};

// code: 0x00-0xFF for a single-byte character, (lead << 8) | trail for a double-byte one.
// Returns false (and an empty glyph of the right cell size) when the font has no glyph for it
// or the code is not valid GBK.
bool LookupGlyph(FontFaceId face, uint16_t code, Glyph& out);
int FaceHeight(FontFaceId face);                // 16 or 12
int CellWidth(FontFaceId face, uint16_t code);  // 16/8 or 12/6
// Width in pixels of a GBK string drawn in this face (double-byte lead 0x81-0xFE takes two bytes;
// a lone lead byte at the end counts as one single-byte cell).
int MeasureGbk(FontFaceId face, std::string_view gbk);

// The row of the face's cells on whose top edge the glyphs stand.
int FaceBaseline(FontFaceId face);

}  // namespace tvx
