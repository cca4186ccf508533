// The ARC archive format: many named files back to back behind an index.
//
//   offset 0           u32  count            number of entries
//   offset 4           28 × count            the index, every entry scrambled
//   anywhere after it  the files' data, unscrambled, at the offsets the entries give
//
//   entry (28 bytes):  +0  name[20]   upper-case file name, NUL-padded (20 bytes: no NUL)
//                      +20 u32 size   bytes of data (the compressed size for packed roles)
//                      +24 u32 offset first data byte, from the start of the archive file
//
// All numbers little-endian. An entry is scrambled by XOR with fixed masks (its own
// inverse): each name byte with 0x4D, size with 0xC3A5E817, offset with 0x5E17C3A9.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tvx::arc {

inline constexpr size_t kEntrySize = 28;
inline constexpr size_t kNameSize = 20;
inline constexpr size_t kHeaderSize = 4;
inline constexpr uint8_t kNameMask = 0x4D;
inline constexpr uint32_t kSizeMask = 0xC3A5E817;
inline constexpr uint32_t kOffsetMask = 0x5E17C3A9;

// Scrambles (or unscrambles: the same operation) every whole entry of an index.
void ScrambleIndex(std::span<uint8_t> index);

struct Entry {
  std::array<uint8_t, kNameSize> name{};
  uint32_t size = 0;
  uint32_t offset = 0;
  std::string_view Name() const;  // up to the first NUL, at most 20 bytes
};

// Reads entry i of an unscrambled index; the caller keeps i below the entry count.
Entry ReadEntry(std::span<const uint8_t> index, size_t i);
// Writes entry i of an unscrambled index.
void WriteEntry(std::span<uint8_t> index, size_t i, const Entry& entry);

// Upper-cases ASCII letters of every byte, as lookups compare names (the trail bytes of
// double-byte characters included).
void UpperCaseInPlace(std::span<char> name);
std::string UpperCased(std::string_view name);

}  // namespace tvx::arc
