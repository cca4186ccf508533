#include "platform/settings_file.h"

#include <sys/stat.h>

#include <atomic>
#include <map>
#include <mutex>
#include <optional>

#include "platform/file.h"
#include "platform/memory_folder.h"
#include "platform/profile_file.h"

namespace tvx {

namespace {

std::atomic<uint64_t> file_reads{0};

// What tells one version of the file from another without reading it.
struct Stamp {
  bool exists = false;
  uint64_t device = 0, inode = 0, size = 0;
  int64_t modified_s = 0, modified_ns = 0, changed_s = 0, changed_ns = 0;

  static Stamp Of(const std::string& path) {
    // A file of the memory folder: its version tells its contents apart.
    if (const platform::MemoryFolder* folder = platform::ActiveMemoryFolder()) {
      const auto version = folder->Version(path);
      if (!version) return {};
      return {.exists = true, .inode = *version};
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return {true,
            static_cast<uint64_t>(info.st_dev),
            static_cast<uint64_t>(info.st_ino),
            static_cast<uint64_t>(info.st_size),
            info.st_mtim.tv_sec,
            info.st_mtim.tv_nsec,
            info.st_ctim.tv_sec,
            info.st_ctim.tv_nsec};
  }
  bool operator==(const Stamp&) const = default;
};

}  // namespace

struct SettingsFile::Kept {
  std::mutex mutex;
  std::string content;
  std::optional<platform::profile::ParsedProfile> parsed;
  Stamp stamp;

  // The parsed file, read again only when it changed on the disk. Called with the mutex held.
  const platform::profile::ParsedProfile& Fresh(const std::string& path) {
    const Stamp now = Stamp::Of(path);
    if (!parsed || now != stamp) {
      const auto data = platform::ReadWholeFile(path);
      content = data ? std::string(data->begin(), data->end()) : std::string();
      parsed = platform::profile::ParsedProfile::Parse(content);
      stamp = now;
      ++file_reads;
    }
    return *parsed;
  }
};

SettingsFile::SettingsFile()
    : SettingsFile(platform::DirectoryOf(platform::ProgramPath()) + std::string(kFileName)) {}

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)), kept_(KeptFor(path_)) {}

int32_t SettingsFile::ReadInt(std::string_view section, std::string_view key,
                              int32_t default_value) const {
  std::lock_guard lock(kept_->mutex);
  const auto value = kept_->Fresh(path_).Value(section, key);
  return value ? platform::profile::ParseInt(*value) : default_value;
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view default_value, size_t capacity) const {
  std::lock_guard lock(kept_->mutex);
  std::string value = kept_->Fresh(path_).Value(section, key).value_or(std::string(default_value));
  const size_t limit = capacity == 0 ? 0 : capacity - 1;
  if (value.size() > limit) value.resize(limit);
  return value;
}

void SettingsFile::WriteInt(std::string_view section, std::string_view key, int32_t value) const {
  WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view text) const {
  std::lock_guard lock(kept_->mutex);
  kept_->Fresh(path_);
  std::string written = platform::profile::WithValue(kept_->content, section, key, text);
  // A write that fails is ignored: the game goes on with what it has, as the file does.
  if (!platform::WriteFileAtomically(
          path_, {reinterpret_cast<const uint8_t*>(written.data()), written.size()}))
    return;
  kept_->parsed = platform::profile::ParsedProfile::Parse(written);
  kept_->content = std::move(written);
  kept_->stamp = Stamp::Of(path_);
}

uint64_t SettingsFile::FileReads() {
  return file_reads.load();
}

std::shared_ptr<SettingsFile::Kept> SettingsFile::KeptFor(const std::string& path) {
  static std::mutex mutex;
  static std::map<std::string, std::weak_ptr<Kept>> all;
  std::lock_guard lock(mutex);
  std::erase_if(all, [](const auto& entry) { return entry.second.expired(); });
  std::weak_ptr<Kept>& entry = all[path];
  auto kept = entry.lock();
  if (!kept) {
    kept = std::make_shared<Kept>();
    entry = kept;
  }
  return kept;
}

}  // namespace tvx
