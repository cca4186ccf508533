#include "graphics/glyph_renderer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "platform/error_box.h"
#include "resources/gbk.h"

namespace tvx {
namespace {

// Where the outline pass puts the character: all around a face at (1, 1) and (2, 1), so the
// rim is one pixel wide on the left, top and bottom and two on the right.
constexpr std::array<std::pair<int, int>, 10> kOutlineOffsets = {{
    {3, 0},
    {3, 1},
    {3, 2},
    {0, 0},
    {0, 1},
    {0, 2},
    {1, 0},
    {1, 2},
    {2, 0},
    {2, 2},
}};

// The font request that a font object keeps with its handle: the 16-pixel song face of
// the simplified-Chinese character set.
struct FontRecord {
  int32_t height = -16;
  int32_t weight = 400;
  uint8_t charset = 134;
  std::string faceName = gbk::FromUtf8("宋体");
};

// The handle of the face a record asks for; null when the face has no glyphs.
const void* OpenFace(const FontRecord& record) {
  Glyph probe;
  if (-record.height != FaceHeight(FontFaceId::Text16)) return nullptr;
  if (!LookupGlyph(FontFaceId::Text16, 'A', probe)) return nullptr;
  static constexpr FontFaceId kText16 = FontFaceId::Text16;
  return &kText16;
}

void MemoryErrorBox(const char* text_utf8) {
  ErrorBox(gbk::FromUtf8("内存错误"), gbk::FromUtf8(text_utf8));
}

}  // namespace

void GlyphBox::Clear() {
  // Bottom-up: the top rows are the end of the array.
  std::fill(pixels_.end() - dirty_rows_ * kSize, pixels_.end(), uint16_t{0});
  dirty_rows_ = 0;
}

// Four pixels at a time: the box and the planes are little-endian 16-bit pixels, so pixel
// c of a group is bits 16c-16c+15 of a 64-bit word.
uint64_t Load4(const uint16_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
void Store4(uint16_t* p, uint64_t v) {
  std::memcpy(p, &v, sizeof v);
}

// Four pixels of a glyph row (bit 3 of the nibble leftmost) as lit box pixels.
constexpr auto kExpandedNibbles = [] {
  std::array<uint64_t, 16> table{};
  for (uint64_t nibble = 0; nibble < 16; ++nibble)
    for (uint64_t c = 0; c < 4; ++c)
      if (nibble & (8u >> c)) table[nibble] |= uint64_t{GlyphBox::kLit} << (16 * c);
  return table;
}();

void GlyphBox::Render(const Glyph& glyph, int x, int y) {
  if (x >= 0 && y >= 0 && x + 16 <= kSize && y + glyph.height <= kSize) {
    // The whole cell fits (as it does for every pass): whole rows, sixteen pixels at a time.
    const uint16_t mask = glyph.width >= 16 ? 0xFFFF : static_cast<uint16_t>(0xFF00);
    for (int r = 0; r < glyph.height; ++r) {
      const uint16_t bits = glyph.rows[static_cast<size_t>(r)] & mask;
      if (bits == 0) continue;
      uint16_t* row = &pixels_[Index(0, y + r)] + x;
      for (int group = 0; group < 4; ++group) {
        const uint64_t lit = kExpandedNibbles[(bits >> (12 - 4 * group)) & 0xF];
        if (lit != 0) Store4(row + 4 * group, Load4(row + 4 * group) | lit);
      }
    }
    dirty_rows_ = std::max(dirty_rows_, y + glyph.height);
    return;
  }
  const int rows = std::min<int>(glyph.height, kSize - y);
  const int columns = std::min<int>(glyph.width, kSize - x);
  if (rows <= 0 || columns <= 0) return;
  // The columns of the cell that land inside the box, as bits of a glyph row.
  const int first = std::max(0, -x);
  if (first >= columns) return;
  const uint32_t inside = (0xFFFFu >> first) & ~(0xFFFFu >> columns);
  for (int r = std::max(0, -y); r < rows; ++r) {
    uint32_t bits = glyph.rows[static_cast<size_t>(r)] & inside;
    if (bits == 0) continue;
    uint16_t* row = &pixels_[Index(0, y + r)];
    for (; bits != 0; bits &= bits - 1)
      row[x + 15 - std::countr_zero(bits)] = kLit;  // bit 15 is column 0
  }
  dirty_rows_ = std::max(dirty_rows_, y + rows);
}

Glyph GlyphForCode(uint16_t code) {
  const uint8_t lead = static_cast<uint8_t>(code >> 8);
  const bool double_byte = lead >= 0x81 && lead <= 0xFE;
  Glyph glyph;
  LookupGlyph(FontFaceId::Text16, double_byte ? code : static_cast<uint16_t>(code & 0xFF), glyph);
  return glyph;
}

struct GlyphRenderer::FontObject {
  std::unique_ptr<FontRecord> record;
  const void* handle = nullptr;
};

GlyphRenderer::GlyphRenderer() = default;

GlyphRenderer::~GlyphRenderer() {
  if (font_) DestroyFont(font_);
}

std::unique_ptr<GlyphRenderer::FontObject> GlyphRenderer::MakeFont() {
  std::unique_ptr<FontObject> font(new (std::nothrow) FontObject);
  if (!font) {
    MemoryErrorBox("内存不足。");
    return nullptr;
  }
  font->record.reset(new (std::nothrow) FontRecord);
  if (!font->record) MemoryErrorBox("内存的取得失败了。");  // the box returns; the face needs none
  font->handle = OpenFace(font->record ? *font->record : FontRecord{});
  if (!font->handle) {
    ErrorBox(gbk::FromUtf8("字体的制作失败了"), gbk::FromUtf8("这是句柄"));
    return nullptr;
  }
  return font;
}

void GlyphRenderer::DestroyFont(std::unique_ptr<FontObject>& font) {
  if (!font->handle) ErrorBox(gbk::FromUtf8("对象的删除失败了"), gbk::FromUtf8("这是句柄"));
  font.reset();  // the record goes with it in any case
}

bool GlyphRenderer::CreateFont() {
  font_ = MakeFont();
  return font_ != nullptr;
}

void GlyphRenderer::Initialise() {
  width_ = 16;
  height_ = 16;
}

void GlyphRenderer::SetGlyphSize(uint16_t width, uint16_t height) {
  if (font_) DestroyFont(font_);
  // A failed font leaves drawing to go on with the embedded face all the same.
  font_ = MakeFont();
  width_ = std::min(width, kMaxGlyphSize);
  height_ = std::min(height, kMaxGlyphSize);
}

void GlyphRenderer::Draw(VramPlane& plane, uint16_t code, int x, int y, uint16_t style,
                         bool outline) {
  const int w = width_ + 4, h = height_ + 4;
  if (!plane.exists() || x >= plane.width || y >= plane.height || x + w <= 0 || y + h <= 0) return;
  const Glyph glyph = GlyphForCode(code);
  if (outline) {
    box_.Clear();
    for (const auto& [dx, dy] : kOutlineOffsets) box_.Render(glyph, dx, dy);
    CopyLit(plane, x, y, outline_);
  }
  box_.Clear();
  box_.Render(glyph, 1, 1);
  switch (style) {
    case 1:  // bold to the right
      box_.Render(glyph, 2, 1);
      break;
    case 2:
      box_.Render(glyph, 1, 2);
      break;
    case 3:  // the same picture as 2: rendering again ORs nothing new
      box_.Render(glyph, 1, 1);
      box_.Render(glyph, 1, 2);
      box_.Render(glyph, 1, 2);
      break;
    default:
      break;
  }
  CopyLit(plane, x, y, face_);
}

void GlyphRenderer::CopyLit(VramPlane& plane, int x, int y, uint16_t colour) const {
  const int w = width_ + 4, h = height_ + 4;
  const int c0 = std::max(0, -x), c1 = std::min(w, plane.width - x);
  const int r0 = std::max(0, -y), r1 = std::min(h, plane.height - y);
  const uint64_t colours = colour * 0x0001000100010001u;
  for (int r = r0; r < r1; ++r) {
    uint16_t* row = plane.pixels.data() + plane.RowOffset(static_cast<uint32_t>(y + r));
    const uint16_t* lit = box_.Row(r);
    int c = c0;
    for (; c + 4 <= c1; c += 4) {
      // Lit box pixels are exactly kLit: adding the top bit makes a whole-pixel mask.
      const uint64_t on = Load4(lit + c);
      if (on == 0) continue;
      const uint64_t mask = on | (on & 0x0001000100010001u) << 15;
      uint16_t* out = row + (x + c);
      Store4(out, (Load4(out) & ~mask) | (colours & mask));
    }
    for (; c < c1; ++c)
      if (lit[c] != 0) row[x + c] = colour;
  }
}

}  // namespace tvx
