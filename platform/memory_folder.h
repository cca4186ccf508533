// Files kept in memory in place of the disk. While a memory folder is in use (UseMemoryFolder),
// the file functions of file.h look every path up in it and never touch the disk: handles read
// its bytes, whole-file and atomic writes replace them, loose names match its names without
// regard to ASCII case. A harness that runs thousands of short games (a fuzzer) hands the
// engine its scripts and settings this way, with no files to write or folder to clean up.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::platform {

class MemoryFolder {
 public:
  using Bytes = std::shared_ptr<const std::vector<uint8_t>>;

  // Adds a file or replaces the one of the same path.
  void Put(const std::string& path, std::span<const uint8_t> bytes);
  void Put(const std::string& path, std::string_view text);
  // The file's bytes; null when there is none. The bytes stay valid after a later Put.
  Bytes Find(const std::string& path) const;
  // Tells one content of a file from the next: it changes with every Put of that path.
  std::optional<uint64_t> Version(const std::string& path) const;
  // The name of a file that equals `path` but for ASCII case ("" when none does).
  std::string FindIgnoringCase(std::string_view path) const;
  bool Remove(const std::string& path);
  void Clear();
  size_t size() const;

 private:
  struct Entry {
    Bytes bytes;
    uint64_t version = 0;
  };
  mutable std::mutex mutex_;
  std::map<std::string, Entry, std::less<>> files_;
  uint64_t next_version_ = 1;
};

// Makes `folder` the one the file functions use, for the whole process (nullptr: the disk
// again). The folder must outlive its use.
void UseMemoryFolder(MemoryFolder* folder);
MemoryFolder* ActiveMemoryFolder();

}  // namespace tvx::platform
