#include "resources/font_data.h"

#include <cstddef>
#include <span>

#include "resources/blob_layout.h"
#include "resources/byte_order.h"
#include "resources/embedded_blobs.h"

namespace tvx {
namespace {

struct FaceGeometry {
  int height;
  int full_width;
  int half_width;
};

constexpr FaceGeometry kText16{16, 16, 8};
constexpr FaceGeometry kUi12{12, 12, 6};

constexpr const FaceGeometry& GeometryOf(FontFaceId face) {
  return face == FontFaceId::Text16 ? kText16 : kUi12;
}

// A face blob checked once against the geometry this code expects. A blob that does not match
// (which only a broken build can produce) has no glyphs rather than wrong ones.
struct FaceTable {
  std::span<const std::byte> index;
  std::span<const std::byte> glyphs;
  uint32_t glyph_count = 0;
  int baseline = 0;
};

FaceTable OpenFace(std::span<const std::byte> data, const FaceGeometry& geometry) {
  if (data.size() < blob::kFontGlyphsOffset) return {};
  for (size_t i = 0; i < blob::kFontMagic.size(); ++i) {
    if (bytes::Load8(data, i) != static_cast<uint8_t>(blob::kFontMagic[i])) return {};
  }
  if (bytes::Load8(data, 4) != geometry.height || bytes::Load8(data, 5) != geometry.full_width ||
      bytes::Load8(data, 6) != geometry.half_width) {
    return {};
  }
  const uint32_t count = bytes::LoadLe32(data, 8);
  const size_t glyph_bytes = size_t{count} * 2 * static_cast<size_t>(geometry.height);
  if (data.size() - blob::kFontGlyphsOffset != glyph_bytes) return {};
  return {data.subspan(blob::kFontIndexOffset, 2 * blob::kSlotCount),
          data.subspan(blob::kFontGlyphsOffset), count, bytes::Load8(data, 7)};
}

const FaceTable& TableOf(FontFaceId face) {
  static const FaceTable text16 = OpenFace(blob::Text16FontBlob(), kText16);
  static const FaceTable ui12 = OpenFace(blob::Ui12FontBlob(), kUi12);
  return face == FontFaceId::Text16 ? text16 : ui12;
}

}  // namespace

int FaceHeight(FontFaceId face) {
  return GeometryOf(face).height;
}

int FaceBaseline(FontFaceId face) {
  return TableOf(face).baseline;
}

int CellWidth(FontFaceId face, uint16_t code) {
  const FaceGeometry& geometry = GeometryOf(face);
  return code > 0xFF ? geometry.full_width : geometry.half_width;
}

bool LookupGlyph(FontFaceId face, uint16_t code, Glyph& out) {
  const FaceGeometry& geometry = GeometryOf(face);
  out = Glyph{};
  out.width = static_cast<uint8_t>(CellWidth(face, code));
  out.height = static_cast<uint8_t>(geometry.height);
  const auto slot = blob::SlotOf(code);
  if (!slot) return false;
  const FaceTable& table = TableOf(face);
  if (table.index.empty()) return false;
  const uint16_t number = bytes::LoadLe16(table.index, 2 * *slot);
  if (number >= table.glyph_count) return false;  // also kNoGlyph
  const size_t start = size_t{number} * 2 * static_cast<size_t>(geometry.height);
  for (size_t row = 0; row < static_cast<size_t>(geometry.height); ++row) {
    out.rows[row] = bytes::LoadLe16(table.glyphs, start + 2 * row);
  }
  return true;
}

int MeasureGbk(FontFaceId face, std::string_view gbk) {
  const FaceGeometry& geometry = GeometryOf(face);
  int width = 0;
  for (size_t i = 0; i < gbk.size(); ++i) {
    if (blob::IsLeadByte(static_cast<uint8_t>(gbk[i])) && i + 1 < gbk.size()) {
      width += geometry.full_width;
      ++i;
    } else {
      width += geometry.half_width;
    }
  }
  return width;
}

}  // namespace tvx
