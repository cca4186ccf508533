#include "resources/generator/pcf_font.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

#include "resources/byte_order.h"

namespace tvx::fontgen {
namespace {

// Table types and format flags of the PCF format.
constexpr uint32_t kFileMagic = 0x70636601;  // "\1fcp"
constexpr uint32_t kProperties = 1 << 0;
constexpr uint32_t kAccelerators = 1 << 1;
constexpr uint32_t kMetrics = 1 << 2;
constexpr uint32_t kBitmaps = 1 << 3;
constexpr uint32_t kBdfEncodings = 1 << 5;
constexpr uint32_t kBdfAccelerators = 1 << 8;

constexpr uint32_t kFormatKindMask = 0xFFFFFF00;
constexpr uint32_t kCompressedMetrics = 0x100;
constexpr uint32_t kGlyphPadMask = 3;
constexpr uint32_t kByteOrderMsb = 1 << 2;
constexpr uint32_t kBitOrderMsb = 1 << 3;
constexpr uint32_t kScanUnitShift = 4;
constexpr uint32_t kScanUnitMask = 3 << kScanUnitShift;

constexpr uint16_t kNoGlyphIndex = 0xFFFF;

// Sequential reader over one table. Reading past the end yields zeros and clears ok(), so a
// truncated table is noticed once at the end instead of at every read.
class TableReader {
 public:
  TableReader(std::span<const std::byte> data, bool big_endian)
      : data_(data), big_endian_(big_endian) {}

  bool ok() const { return ok_; }
  size_t position() const { return pos_; }

  bool Has(size_t count) {
    if (count <= data_.size() && pos_ <= data_.size() - count) return true;
    ok_ = false;
    return false;
  }
  void Skip(size_t count) {
    if (Has(count)) pos_ += count;
  }
  uint8_t U8() {
    if (!Has(1)) return 0;
    return bytes::Load8(data_, pos_++);
  }
  uint16_t U16() {
    if (!Has(2)) return 0;
    const uint16_t value =
        big_endian_ ? bytes::LoadBe16(data_, pos_) : bytes::LoadLe16(data_, pos_);
    pos_ += 2;
    return value;
  }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  uint32_t U32() {
    if (!Has(4)) return 0;
    const uint32_t value =
        big_endian_ ? bytes::LoadBe32(data_, pos_) : bytes::LoadLe32(data_, pos_);
    pos_ += 4;
    return value;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  std::span<const std::byte> Bytes(size_t count) {
    if (!Has(count)) return {};
    const auto result = data_.subspan(pos_, count);
    pos_ += count;
    return result;
  }

 private:
  std::span<const std::byte> data_;
  bool big_endian_;
  size_t pos_ = 0;
  bool ok_ = true;
};

struct Table {
  uint32_t format = 0;
  std::span<const std::byte> data;  // after the format word

  TableReader Reader() const { return TableReader(data, (format & kByteOrderMsb) != 0); }
};

// Each table starts with its format word, always little-endian, repeating the table of contents.
std::optional<Table> FindTable(std::span<const std::byte> file, uint32_t type) {
  if (file.size() < 8) return std::nullopt;
  const uint32_t count = bytes::LoadLe32(file, 4);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t entry = 8 + size_t{16} * i;
    if (entry + 16 > file.size()) return std::nullopt;
    if (bytes::LoadLe32(file, entry) != type) continue;
    const uint32_t format = bytes::LoadLe32(file, entry + 4);
    const size_t size = bytes::LoadLe32(file, entry + 8);
    const size_t offset = bytes::LoadLe32(file, entry + 12);
    if (size < 4 || offset > file.size() || size > file.size() - offset) return std::nullopt;
    if (bytes::LoadLe32(file, offset) != format) return std::nullopt;
    return Table{format, file.subspan(offset + 4, size - 4)};
  }
  return std::nullopt;
}

struct IntProperties {
  std::optional<int> pixel_size;
  std::optional<int> font_ascent;
};

std::optional<IntProperties> ReadProperties(const Table& table) {
  TableReader reader = table.Reader();
  const int32_t count = reader.I32();
  if (count < 0 || !reader.Has(size_t{9} * static_cast<size_t>(count))) return std::nullopt;
  struct Entry {
    uint32_t name;
    bool is_string;
    int32_t value;
  };
  std::vector<Entry> entries;
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t name = reader.U32();
    const bool is_string = reader.U8() != 0;
    entries.push_back({name, is_string, reader.I32()});
  }
  if (count % 4 != 0) reader.Skip(4 - static_cast<size_t>(count % 4));
  const uint32_t strings_size = reader.U32();
  const auto strings = reader.Bytes(strings_size);
  if (!reader.ok()) return std::nullopt;

  const auto name_of = [&](uint32_t offset) {
    std::string name;
    for (size_t i = offset; i < strings.size() && strings[i] != std::byte{0}; ++i) {
      name.push_back(static_cast<char>(strings[i]));
    }
    return name;
  };
  IntProperties result;
  for (const Entry& entry : entries) {
    if (entry.is_string) continue;
    const std::string name = name_of(entry.name);
    if (name == "PIXEL_SIZE") result.pixel_size = entry.value;
    if (name == "FONT_ASCENT") result.font_ascent = entry.value;
  }
  return result;
}

std::optional<int> ReadAcceleratorAscent(const Table& table) {
  TableReader reader = table.Reader();
  reader.Skip(8);  // flag bytes
  const int32_t ascent = reader.I32();
  if (!reader.ok()) return std::nullopt;
  return ascent;
}

}  // namespace

std::optional<PcfFont> PcfFont::Parse(std::span<const std::byte> file, std::string& error) {
  if (file.size() < 8 || bytes::LoadLe32(file, 0) != kFileMagic) {
    error = "not a PCF font";
    return std::nullopt;
  }
  const auto properties_table = FindTable(file, kProperties);
  const auto metrics_table = FindTable(file, kMetrics);
  const auto bitmaps_table = FindTable(file, kBitmaps);
  const auto encodings_table = FindTable(file, kBdfEncodings);
  if (!properties_table || !metrics_table || !bitmaps_table || !encodings_table) {
    error = "missing or damaged PCF table (properties, metrics, bitmaps or encodings)";
    return std::nullopt;
  }

  PcfFont font;
  const auto properties = ReadProperties(*properties_table);
  if (!properties || !properties->pixel_size) {
    error = "no PIXEL_SIZE property";
    return std::nullopt;
  }
  font.pixel_size_ = *properties->pixel_size;
  if (properties->font_ascent) {
    font.ascent_ = *properties->font_ascent;
  } else {
    auto accelerators = FindTable(file, kBdfAccelerators);
    if (!accelerators) accelerators = FindTable(file, kAccelerators);
    const auto ascent = accelerators ? ReadAcceleratorAscent(*accelerators) : std::nullopt;
    if (!ascent) {
      error = "neither a FONT_ASCENT property nor an accelerator table";
      return std::nullopt;
    }
    font.ascent_ = *ascent;
  }

  TableReader metrics = metrics_table->Reader();
  if ((metrics_table->format & kFormatKindMask) == kCompressedMetrics) {
    const uint16_t count = metrics.U16();
    for (uint16_t i = 0; i < count && metrics.ok(); ++i) {
      std::array<int, 5> values{};
      for (int& value : values) value = metrics.U8() - 0x80;
      font.metrics_.push_back({values[0], values[1], values[2], values[3], values[4]});
    }
  } else {
    const int32_t count = metrics.I32();
    for (int32_t i = 0; i < count && metrics.ok(); ++i) {
      std::array<int, 5> values{};
      for (int& value : values) value = metrics.I16();
      metrics.Skip(2);  // attributes
      font.metrics_.push_back({values[0], values[1], values[2], values[3], values[4]});
    }
  }
  if (!metrics.ok()) {
    error = "truncated metrics table";
    return std::nullopt;
  }

  const uint32_t bitmap_flags = bitmaps_table->format;
  font.bitmap_format_.row_pad = size_t{1} << (bitmap_flags & kGlyphPadMask);
  font.bitmap_format_.scan_unit = size_t{1} << ((bitmap_flags & kScanUnitMask) >> kScanUnitShift);
  font.bitmap_format_.msb_byte_first = (bitmap_flags & kByteOrderMsb) != 0;
  font.bitmap_format_.msb_bit_first = (bitmap_flags & kBitOrderMsb) != 0;
  TableReader bitmaps = bitmaps_table->Reader();
  const int32_t glyph_count = bitmaps.I32();
  if (glyph_count < 0 || static_cast<size_t>(glyph_count) != font.metrics_.size()) {
    error = "bitmap and metrics tables disagree on the glyph count";
    return std::nullopt;
  }
  for (int32_t i = 0; i < glyph_count && bitmaps.ok(); ++i) {
    font.bitmap_offsets_.push_back(bitmaps.U32());
  }
  std::array<uint32_t, 4> sizes{};
  for (uint32_t& size : sizes) size = bitmaps.U32();
  const auto data = bitmaps.Bytes(sizes[bitmap_flags & kGlyphPadMask]);
  if (!bitmaps.ok()) {
    error = "truncated bitmap table";
    return std::nullopt;
  }
  font.bitmap_data_.assign(data.begin(), data.end());

  TableReader encodings = encodings_table->Reader();
  font.first_col_ = encodings.I16();
  font.last_col_ = encodings.I16();
  font.first_row_ = encodings.I16();
  font.last_row_ = encodings.I16();
  encodings.Skip(2);  // default character
  if (font.first_col_ < 0 || font.last_col_ > 0xFF || font.first_row_ < 0 ||
      font.last_row_ > 0xFF) {
    error = "bad encoding ranges";
    return std::nullopt;
  }
  const size_t cols = static_cast<size_t>(std::max(0, font.last_col_ - font.first_col_ + 1));
  const size_t rows = static_cast<size_t>(std::max(0, font.last_row_ - font.first_row_ + 1));
  for (size_t i = 0; i < cols * rows && encodings.ok(); ++i) {
    font.encoding_.push_back(encodings.U16());
  }
  if (!encodings.ok()) {
    error = "truncated encodings table";
    return std::nullopt;
  }
  return font;
}

std::optional<PcfFont> PcfFont::Load(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return std::nullopt;
  }
  std::vector<char> chars{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::byte> file(chars.size());
  std::transform(chars.begin(), chars.end(), file.begin(),
                 [](char c) { return static_cast<std::byte>(c); });
  auto font = Parse(file, error);
  if (!font) error = path + ": " + error;
  return font;
}

std::optional<size_t> PcfFont::GlyphIndex(char32_t code_point) const {
  const int row = static_cast<int>(code_point >> 8);
  const int col = static_cast<int>(code_point & 0xFF);
  if (code_point > 0xFFFF || row < first_row_ || row > last_row_ || col < first_col_ ||
      col > last_col_) {
    return std::nullopt;
  }
  const size_t slot =
      static_cast<size_t>((row - first_row_) * (last_col_ - first_col_ + 1) + (col - first_col_));
  const uint16_t index = encoding_[slot];
  if (index == kNoGlyphIndex || index >= metrics_.size()) return std::nullopt;
  return index;
}

std::optional<GlyphImage> PcfFont::Glyph(char32_t code_point) const {
  const auto index = GlyphIndex(code_point);
  if (!index) return std::nullopt;
  const Metrics& m = metrics_[*index];
  GlyphImage glyph;
  glyph.left = m.left;
  glyph.ascent = m.ascent;
  glyph.advance = m.advance;
  glyph.width = std::max(0, m.right - m.left);
  glyph.height = std::max(0, m.ascent + m.descent);
  glyph.pixels.assign(static_cast<size_t>(glyph.width * glyph.height), 0);

  // Rows are padded to the row pad. Bits run left to right from the high or the low bit of each
  // byte; when byte order and bit order differ, the bytes of every scan unit of the bitmap data
  // are stored reversed, counting units from the start of the data (as the X server reads it).
  const BitmapFormat& f = bitmap_format_;
  const size_t pad_bits = f.row_pad * 8;
  const size_t stride = (static_cast<size_t>(glyph.width) + pad_bits - 1) / pad_bits * f.row_pad;
  const size_t start = bitmap_offsets_[*index];
  if (start > bitmap_data_.size() ||
      stride * static_cast<size_t>(glyph.height) > bitmap_data_.size() - start) {
    return std::nullopt;
  }
  const size_t unit_flip = f.msb_byte_first != f.msb_bit_first ? f.scan_unit - 1 : 0;
  for (int y = 0; y < glyph.height; ++y) {
    for (int x = 0; x < glyph.width; ++x) {
      const size_t in_order = start + static_cast<size_t>(y) * stride + static_cast<size_t>(x) / 8;
      const size_t stored = in_order ^ unit_flip;
      if (stored >= bitmap_data_.size()) return std::nullopt;
      const int shift = f.msb_bit_first ? 7 - x % 8 : x % 8;
      const auto byte = static_cast<uint8_t>(bitmap_data_[stored]);
      glyph.pixels[static_cast<size_t>(y * glyph.width + x)] = (byte >> shift) & 1;
    }
  }
  return glyph;
}

}  // namespace tvx::fontgen
