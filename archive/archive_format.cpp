#include "archive/archive_format.h"

#include <algorithm>
#include <cstring>

#include "resources/byte_order.h"

namespace tvx::arc {

void ScrambleIndex(std::span<uint8_t> index) {
  const size_t count = index.size() / kEntrySize;
  for (size_t i = 0; i < count; ++i) {
    const auto entry = index.subspan(i * kEntrySize, kEntrySize);
    for (size_t b = 0; b < kNameSize; ++b) entry[b] ^= kNameMask;
    bytes::StoreLe32(entry, 20, bytes::LoadLe32(entry, 20) ^ kSizeMask);
    bytes::StoreLe32(entry, 24, bytes::LoadLe32(entry, 24) ^ kOffsetMask);
  }
}

std::string_view Entry::Name() const {
  const auto* begin = reinterpret_cast<const char*>(name.data());
  return {begin, strnlen(begin, kNameSize)};
}

Entry ReadEntry(std::span<const uint8_t> index, size_t i) {
  const auto raw = index.subspan(i * kEntrySize, kEntrySize);
  Entry entry;
  std::copy_n(raw.begin(), kNameSize, entry.name.begin());
  entry.size = bytes::LoadLe32(raw, 20);
  entry.offset = bytes::LoadLe32(raw, 24);
  return entry;
}

void WriteEntry(std::span<uint8_t> index, size_t i, const Entry& entry) {
  const auto raw = index.subspan(i * kEntrySize, kEntrySize);
  std::copy(entry.name.begin(), entry.name.end(), raw.begin());
  bytes::StoreLe32(raw, 20, entry.size);
  bytes::StoreLe32(raw, 24, entry.offset);
}

void UpperCaseInPlace(std::span<char> name) {
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

std::string UpperCased(std::string_view name) {
  std::string result(name);
  UpperCaseInPlace(result);
  return result;
}

}  // namespace tvx::arc
