// Builds ARC archive bytes for tests, entry by entry, with the index scrambled as stored.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "resources/byte_order.h"

namespace tvx::testing {

struct TestEntry {
  std::string name;  // stored as given (tests store upper-case names, or test otherwise)
  std::vector<uint8_t> data;
};

inline std::vector<uint8_t> BuildArchive(const std::vector<TestEntry>& entries) {
  std::vector<uint8_t> out;
  bytes::AppendLe32(out, static_cast<uint32_t>(entries.size()));
  std::vector<uint8_t> index(entries.size() * arc::kEntrySize);
  uint32_t offset = static_cast<uint32_t>(arc::kHeaderSize + index.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    arc::Entry entry;
    for (size_t b = 0; b < entries[i].name.size() && b < arc::kNameSize; ++b)
      entry.name[b] = static_cast<uint8_t>(entries[i].name[b]);
    entry.size = static_cast<uint32_t>(entries[i].data.size());
    entry.offset = offset;
    offset += entry.size;
    arc::WriteEntry(index, i, entry);
  }
  arc::ScrambleIndex(index);
  out.insert(out.end(), index.begin(), index.end());
  for (const auto& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
  return out;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

}  // namespace tvx::testing
