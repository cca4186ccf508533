// Reading an ARC archive from disk for the tools: the index is checked against the file
// before anything trusts it, since archives come from anywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "platform/file.h"

namespace tvx::tool {

class ArcReader {
 public:
  struct Item {
    arc::Entry entry;
    bool inside_file = true;  // offset + size within the archive file
  };

  // Opens the archive and loads its index. On failure returns false with a message for
  // people in `error` that names the file.
  bool Open(const std::string& path, std::string& error);

  uint64_t FileSize() const { return file_size_; }
  const std::vector<Item>& Items() const { return items_; }

  // The stored bytes of an entry that lies inside the file; nullopt on a read error.
  std::optional<std::vector<uint8_t>> ReadData(const Item& item);

 private:
  platform::File file_;
  uint64_t file_size_ = 0;
  std::vector<Item> items_;
};

}  // namespace tvx::tool
