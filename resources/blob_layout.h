// Layout of the font and code-page blobs that the build generates from the WenQuanYi PCF fonts and
// embeds in talvex_resources. The generator writes them and the library reads them, both through
// this header, so the two sides cannot drift apart. All numbers are little-endian.
//
// Every GBK code has a slot: 0x00-0x7F are slots 0-127, and a double-byte code (lead 0x81-0xFE,
// trail 0x40-0xFE) is slot 128 + (lead - 0x81) * 191 + (trail - 0x40). Trail 0x7F keeps its slot
// (always empty) so that the slot is plain arithmetic.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tvx::blob {

inline constexpr uint8_t kFirstLead = 0x81;
inline constexpr uint8_t kLastLead = 0xFE;
inline constexpr uint8_t kFirstTrail = 0x40;
inline constexpr uint8_t kLastTrail = 0xFE;
inline constexpr uint8_t kBadTrail = 0x7F;
inline constexpr size_t kSingleByteSlots = 0x80;
inline constexpr size_t kTrailsPerLead = kLastTrail - kFirstTrail + 1;
inline constexpr size_t kSlotCount =
    kSingleByteSlots + (kLastLead - kFirstLead + 1) * kTrailsPerLead;

constexpr bool IsLeadByte(uint8_t byte) {
  return byte >= kFirstLead && byte <= kLastLead;
}

// The slot of a GBK code, or nothing when the code cannot be GBK at all.
constexpr std::optional<size_t> SlotOf(uint16_t code) {
  if (code < kSingleByteSlots) return code;
  const auto lead = static_cast<uint8_t>(code >> 8);
  const auto trail = static_cast<uint8_t>(code & 0xFF);
  if (!IsLeadByte(lead) || trail < kFirstTrail || trail > kLastTrail || trail == kBadTrail) {
    return std::nullopt;
  }
  return kSingleByteSlots + (lead - kFirstLead) * kTrailsPerLead + (trail - kFirstTrail);
}

constexpr uint16_t CodeOfSlot(size_t slot) {
  if (slot < kSingleByteSlots) return static_cast<uint16_t>(slot);
  const size_t rest = slot - kSingleByteSlots;
  return static_cast<uint16_t>((kFirstLead + rest / kTrailsPerLead) << 8 |
                               (kFirstTrail + rest % kTrailsPerLead));
}

// Font blob, one per face:
//   0  magic "TVF1"
//   4  u8 cell height, u8 double-byte cell width, u8 single-byte cell width, u8 baseline row
//   8  u32 glyph count
//  12  u16 index[kSlotCount]: glyph number of each slot, kNoGlyph when the font has none
//  ..  glyphs: glyph count x cell height rows of u16, top row first, bit 15 = leftmost pixel
// Identical bitmaps are stored once.
inline constexpr std::array<char, 4> kFontMagic{'T', 'V', 'F', '1'};
inline constexpr size_t kFontIndexOffset = 12;
inline constexpr size_t kFontGlyphsOffset = kFontIndexOffset + 2 * kSlotCount;
inline constexpr uint16_t kNoGlyph = 0xFFFF;
inline constexpr size_t kMaxCellHeight = 16;

// Code-page blob:
//   0  magic "TVG1"
//   4  u32 number of Unicode pages
//   8  u16 to_unicode[kSlotCount]: BMP code point of each slot, 0 when the slot is not a character
//  ..  u16 page_index[256]: page number for each high byte of a BMP code point, kNoPage if none
//  ..  pages: page count x 256 u16 GBK codes, 0 when the code point has no GBK code
inline constexpr std::array<char, 4> kCodePageMagic{'T', 'V', 'G', '1'};
inline constexpr size_t kToUnicodeOffset = 8;
inline constexpr size_t kPageIndexOffset = kToUnicodeOffset + 2 * kSlotCount;
inline constexpr size_t kPageIndexSize = 256;
inline constexpr size_t kPagesOffset = kPageIndexOffset + 2 * kPageIndexSize;
inline constexpr size_t kPageSize = 256;
inline constexpr uint16_t kNoPage = 0xFFFF;

}  // namespace tvx::blob
