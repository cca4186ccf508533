// Reader for X11 PCF bitmap fonts (the format of the WenQuanYi Bitmap Song files). It understands
// every variant of the format flags (byte order, bit order, row padding and scan unit), compressed
// and full metrics, and the BDF encodings table of a Unicode-encoded font.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tvx::fontgen {

// A glyph as the font draws it. Coordinates follow the font: x grows to the right from the pen
// position, y grows upwards from the baseline.
struct GlyphImage {
  int left = 0;     // x of the first column
  int ascent = 0;   // rows above the baseline; the first row is at y = ascent - 1
  int advance = 0;  // pen movement
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height, row by row from the top, 1 = ink

  bool Lit(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)] != 0; }
};

class PcfFont {
 public:
  // Parses a whole PCF file. On failure returns nothing and says why in `error`.
  static std::optional<PcfFont> Parse(std::span<const std::byte> file, std::string& error);
  static std::optional<PcfFont> Load(const std::string& path, std::string& error);

  int pixel_size() const { return pixel_size_; }
  // FONT_ASCENT when the font has that property, else the ascent of its accelerator table.
  int ascent() const { return ascent_; }
  // The glyph the font has for a Unicode code point, if any.
  std::optional<GlyphImage> Glyph(char32_t code_point) const;

 private:
  struct Metrics {
    int left = 0;
    int right = 0;
    int advance = 0;
    int ascent = 0;
    int descent = 0;
  };
  struct BitmapFormat {
    size_t row_pad = 1;  // bytes
    size_t scan_unit = 1;
    bool msb_byte_first = true;
    bool msb_bit_first = true;
  };

  std::optional<size_t> GlyphIndex(char32_t code_point) const;

  int pixel_size_ = 0;
  int ascent_ = 0;
  std::vector<Metrics> metrics_;
  std::vector<uint32_t> bitmap_offsets_;
  std::vector<std::byte> bitmap_data_;
  BitmapFormat bitmap_format_;
  int first_col_ = 0;
  int last_col_ = -1;
  int first_row_ = 0;
  int last_row_ = -1;
  std::vector<uint16_t> encoding_;  // glyph index per code, 0xFFFF = none
};

}  // namespace tvx::fontgen
