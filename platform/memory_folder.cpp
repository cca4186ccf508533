#include "platform/memory_folder.h"

#include <algorithm>
#include <atomic>

namespace tvx::platform {

namespace {

std::atomic<MemoryFolder*> active_folder{nullptr};

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    return x == y;
  });
}

}  // namespace

void MemoryFolder::Put(const std::string& path, std::span<const uint8_t> bytes) {
  auto copy = std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
  std::lock_guard lock(mutex_);
  files_[path] = {std::move(copy), next_version_++};
}

void MemoryFolder::Put(const std::string& path, std::string_view text) {
  Put(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

MemoryFolder::Bytes MemoryFolder::Find(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto found = files_.find(path);
  return found == files_.end() ? nullptr : found->second.bytes;
}

std::optional<uint64_t> MemoryFolder::Version(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return found->second.version;
}

std::string MemoryFolder::FindIgnoringCase(std::string_view path) const {
  std::lock_guard lock(mutex_);
  for (const auto& [name, entry] : files_) {
    if (EqualIgnoringAsciiCase(name, path)) return name;
  }
  return {};
}

bool MemoryFolder::Remove(const std::string& path) {
  std::lock_guard lock(mutex_);
  return files_.erase(path) != 0;
}

void MemoryFolder::Clear() {
  std::lock_guard lock(mutex_);
  files_.clear();
}

size_t MemoryFolder::size() const {
  std::lock_guard lock(mutex_);
  return files_.size();
}

void UseMemoryFolder(MemoryFolder* folder) {
  active_folder.store(folder, std::memory_order_release);
}

MemoryFolder* ActiveMemoryFolder() {
  return active_folder.load(std::memory_order_acquire);
}

}  // namespace tvx::platform
