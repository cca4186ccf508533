// The PCF reader on small fonts written here in every combination of the format flags the X
// server accepts, so that byte order, bit order, row padding and scan unit are all exercised
// (the installed WenQuanYi files use only one combination).
#include "resources/generator/pcf_font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tvx::fontgen {
namespace {

struct TestGlyph {
  char32_t code_point;
  int left;
  int advance;
  int ascent;
  std::vector<std::string> rows;  // '#' = ink; all rows equally wide
};

// Asymmetric shapes that cross byte and 16-bit boundaries.
const std::vector<TestGlyph> kGlyphs = {
    {U'A', 0, 8, 3, {"#.....", "##...#", "#.#..."}},
    {U'g', -1, 6, 1, {".####....", "#...#...#", ".###....#", "........#"}},
    {U'啊', 1, 20, 2, {"#................#", ".#######.........#", "...#...........###"}},
};

struct Format {
  bool big_endian;  // tables and bitmap bytes
  bool msb_bit_first;
  int row_pad;
  int scan_unit;
  bool compressed_metrics;
  bool ascent_property;
};

class Writer {
 public:
  explicit Writer(bool big_endian) : big_endian_(big_endian) {}
  void U8(uint32_t value) { out_.push_back(static_cast<std::byte>(value & 0xFF)); }
  void U16(uint32_t value) {
    if (big_endian_) {
      U8(value >> 8);
      U8(value);
    } else {
      U8(value);
      U8(value >> 8);
    }
  }
  void U32(uint32_t value) {
    if (big_endian_) {
      U16(value >> 16);
      U16(value & 0xFFFF);
    } else {
      U16(value & 0xFFFF);
      U16(value >> 16);
    }
  }
  void Bytes(const std::vector<std::byte>& bytes) {
    out_.insert(out_.end(), bytes.begin(), bytes.end());
  }
  std::vector<std::byte>& out() { return out_; }

 private:
  bool big_endian_;
  std::vector<std::byte> out_;
};

uint8_t Reversed(uint8_t byte) {
  uint8_t result = 0;
  for (int bit = 0; bit < 8; ++bit) result |= ((byte >> bit) & 1) << (7 - bit);
  return result;
}

std::vector<std::byte> MakePcf(const Format& f) {
  const int pad_index = f.row_pad == 1 ? 0 : f.row_pad == 2 ? 1 : f.row_pad == 4 ? 2 : 3;
  const int unit_index = f.scan_unit == 1 ? 0 : f.scan_unit == 2 ? 1 : 2;
  const uint32_t flags = static_cast<uint32_t>(pad_index) | (f.big_endian ? 4u : 0u) |
                         (f.msb_bit_first ? 8u : 0u) | static_cast<uint32_t>(unit_index) << 4;
  std::map<uint32_t, std::pair<uint32_t, std::vector<std::byte>>> tables;  // type -> format, body

  {  // Properties: three of them, so the list needs padding before the string block.
    Writer w(f.big_endian);
    std::vector<std::pair<std::string, int>> props = {{"FOUNDRY", 0}, {"PIXEL_SIZE", 16}};
    if (f.ascent_property) props.emplace_back("FONT_ASCENT", 13);
    w.U32(static_cast<uint32_t>(props.size()));
    std::string strings;
    for (const auto& [name, value] : props) {
      w.U32(static_cast<uint32_t>(strings.size()));
      strings += name + '\0';
      const bool is_string = name == "FOUNDRY";
      w.U8(is_string);
      w.U32(is_string ? static_cast<uint32_t>(strings.size()) : static_cast<uint32_t>(value));
      if (is_string) strings += std::string("Test") + '\0';
    }
    for (size_t i = props.size() % 4; i != 0 && i < 4; ++i) w.U8(0);
    w.U32(static_cast<uint32_t>(strings.size()));
    for (char c : strings) w.U8(static_cast<uint8_t>(c));
    tables[1] = {flags, w.out()};
  }
  {  // Accelerators: only the ascent matters (11, unlike FONT_ASCENT, to tell them apart).
    Writer w(f.big_endian);
    for (int i = 0; i < 8; ++i) w.U8(0);
    w.U32(11);
    w.U32(3);
    w.U32(0);
    for (int i = 0; i < 12; ++i) w.U16(0);
    tables[0x100] = {flags, w.out()};
  }
  {  // Metrics, with a leading default glyph 0 that no code uses.
    Writer w(f.big_endian);
    std::vector<TestGlyph> all = {{0, 0, 4, 0, {}}};
    all.insert(all.end(), kGlyphs.begin(), kGlyphs.end());
    const auto values = [](const TestGlyph& g) {
      const int width = g.rows.empty() ? 0 : static_cast<int>(g.rows[0].size());
      const int height = static_cast<int>(g.rows.size());
      return std::array<int, 5>{g.left, g.left + width, g.advance, g.ascent, height - g.ascent};
    };
    if (f.compressed_metrics) {
      w.U16(static_cast<uint32_t>(all.size()));
      for (const auto& g : all) {
        for (int v : values(g)) w.U8(static_cast<uint32_t>(v + 0x80));
      }
    } else {
      w.U32(static_cast<uint32_t>(all.size()));
      for (const auto& g : all) {
        for (int v : values(g)) w.U16(static_cast<uint32_t>(static_cast<uint16_t>(v)));
        w.U16(0);
      }
    }
    tables[4] = {flags | (f.compressed_metrics ? 0x100u : 0u), w.out()};

    // Bitmaps: draw each row left to right from the high bit, pad it, then store it the way the
    // format asks: bits reversed for low-bit-first, bytes of each scan unit reversed when the
    // byte order differs from the bit order.
    std::vector<uint8_t> data;
    std::vector<uint32_t> offsets;
    for (const auto& g : all) {
      offsets.push_back(static_cast<uint32_t>(data.size()));
      for (const std::string& row : g.rows) {
        const size_t pad_bits = static_cast<size_t>(f.row_pad) * 8;
        const size_t stride =
            (row.size() + pad_bits - 1) / pad_bits * static_cast<size_t>(f.row_pad);
        std::vector<uint8_t> bytes(stride, 0);
        for (size_t x = 0; x < row.size(); ++x) {
          if (row[x] == '#') bytes[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        data.insert(data.end(), bytes.begin(), bytes.end());
      }
    }
    if (!f.msb_bit_first) {
      for (uint8_t& byte : data) byte = Reversed(byte);
    }
    if (f.big_endian != f.msb_bit_first) {
      std::vector<uint8_t> swapped(data.size());
      for (size_t i = 0; i < data.size(); ++i)
        swapped[i ^ static_cast<size_t>(f.scan_unit - 1)] = data[i];
      data = swapped;
    }
    Writer b(f.big_endian);
    b.U32(static_cast<uint32_t>(all.size()));
    for (uint32_t offset : offsets) b.U32(offset);
    for (int i = 0; i < 4; ++i) b.U32(i == pad_index ? static_cast<uint32_t>(data.size()) : 0);
    for (uint8_t byte : data) b.U8(byte);
    tables[8] = {flags, b.out()};
  }
  {  // Encodings: rows 0x00-0x55, columns 0x40-0x7F; 'A', 'g' and U+554A are glyphs 1-3.
    Writer w(f.big_endian);
    w.U16(0x40);
    w.U16(0x7F);
    w.U16(0x00);
    w.U16(0x55);
    w.U16(0);
    for (uint32_t row = 0; row <= 0x55; ++row) {
      for (uint32_t col = 0x40; col <= 0x7F; ++col) {
        const uint32_t code = row << 8 | col;
        w.U16(code == 'A' ? 1 : code == 'g' ? 2 : code == 0x554A ? 3 : 0xFFFF);
      }
    }
    tables[0x20] = {flags, w.out()};
  }

  Writer file(false);
  file.U32(0x70636601);
  file.U32(static_cast<uint32_t>(tables.size()));
  uint32_t offset = 8 + 16 * static_cast<uint32_t>(tables.size());
  for (const auto& [type, table] : tables) {
    const uint32_t size = 4 + static_cast<uint32_t>(table.second.size());
    file.U32(type);
    file.U32(table.first);
    file.U32(size);
    file.U32(offset);
    offset += (size + 3) / 4 * 4;
  }
  for (const auto& [type, table] : tables) {
    file.U32(table.first);
    file.Bytes(table.second);
    while (file.out().size() % 4 != 0) file.U8(0);
  }
  return file.out();
}

std::string Describe(const Format& f) {
  return std::string(f.big_endian ? "MSByte" : "LSByte") + (f.msb_bit_first ? " MSBit" : " LSBit") +
         " pad " + std::to_string(f.row_pad) + " unit " + std::to_string(f.scan_unit) +
         (f.compressed_metrics ? " compressed" : " full metrics");
}

TEST(PcfFont, ReadsEveryFormatVariant) {
  for (bool big_endian : {false, true}) {
    for (bool msb_bit_first : {false, true}) {
      for (int row_pad : {1, 2, 4, 8}) {
        for (int scan_unit : {1, 2, 4}) {
          if (scan_unit > row_pad) continue;
          for (bool compressed : {false, true}) {
            const Format format{big_endian, msb_bit_first, row_pad,
                                scan_unit,  compressed,    compressed};
            SCOPED_TRACE(Describe(format));
            std::string error;
            const auto font = PcfFont::Parse(MakePcf(format), error);
            ASSERT_TRUE(font) << error;
            EXPECT_EQ(font->pixel_size(), 16);
            // FONT_ASCENT wins over the accelerator table when the font has it.
            EXPECT_EQ(font->ascent(), compressed ? 13 : 11);
            EXPECT_FALSE(font->Glyph(U'B'));
            EXPECT_FALSE(font->Glyph(U'\u5600'));
            for (const TestGlyph& expected : kGlyphs) {
              const auto glyph = font->Glyph(expected.code_point);
              ASSERT_TRUE(glyph);
              EXPECT_EQ(glyph->left, expected.left);
              EXPECT_EQ(glyph->advance, expected.advance);
              EXPECT_EQ(glyph->ascent, expected.ascent);
              ASSERT_EQ(glyph->height, static_cast<int>(expected.rows.size()));
              ASSERT_EQ(glyph->width, static_cast<int>(expected.rows[0].size()));
              for (int y = 0; y < glyph->height; ++y) {
                std::string row;
                for (int x = 0; x < glyph->width; ++x) row += glyph->Lit(x, y) ? '#' : '.';
                EXPECT_EQ(row, expected.rows[static_cast<size_t>(y)]);
              }
            }
          }
        }
      }
    }
  }
}

TEST(PcfFont, RejectsDamagedFiles) {
  const auto good = MakePcf({true, true, 4, 1, true, true});
  std::string error;
  ASSERT_TRUE(PcfFont::Parse(good, error));
  EXPECT_FALSE(PcfFont::Parse(std::span(good).first(4), error));
  // Cut inside the tables: every table-of-contents entry then points past the end.
  EXPECT_FALSE(PcfFont::Parse(std::span(good).first(good.size() / 2), error));
  EXPECT_FALSE(error.empty());
  auto bad_magic = good;
  bad_magic[1] = std::byte{'x'};
  EXPECT_FALSE(PcfFont::Parse(bad_magic, error));
  EXPECT_FALSE(PcfFont::Load("/nonexistent/font.pcf", error));
}

}  // namespace
}  // namespace tvx::fontgen
