// The file layer's portable half: whole-file reads and writes, loose-file names, stale
// temporaries, the program path override. The system calls are in file_posix.cpp and
// file_windows.cpp.
#include "platform/file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

#include "platform/file_system.h"
#include "platform/memory_folder.h"
#include "resources/gbk.h"

namespace tvx::platform {

namespace {

std::atomic<bool> flush_before_rename{true};

}  // namespace

void SetFlushBeforeRename(bool flush) {
  flush_before_rename.store(flush, std::memory_order_relaxed);
}

bool FlushBeforeRename() {
  return flush_before_rename.load(std::memory_order_relaxed);
}

File::File(File&& other) noexcept
    : fd_(other.fd_), memory_(std::move(other.memory_)), memory_at_(other.memory_at_) {
  other.fd_ = -1;
  other.memory_ = nullptr;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    other.fd_ = -1;
    memory_ = std::move(other.memory_);
    other.memory_ = nullptr;
    memory_at_ = other.memory_at_;
  }
  return *this;
}

File::~File() {
  Close();
}

bool File::Open(const std::string& path, Mode mode) {
  Close();
  if (const MemoryFolder* folder = ActiveMemoryFolder()) {
    if (mode != Mode::Read) return false;
    memory_ = folder->Find(path);
    memory_at_ = 0;
    return memory_ != nullptr;
  }
  fd_ = system::OpenFile(path, mode);
  return fd_ >= 0;
}

bool File::Close() {
  memory_ = nullptr;
  if (fd_ < 0) return true;
  const bool closed = system::CloseFile(fd_);
  fd_ = -1;
  return closed;
}

std::optional<size_t> File::Read(std::span<uint8_t> buffer) {
  if (memory_) {
    const size_t count = std::min(buffer.size(), memory_->size() - memory_at_);
    std::copy_n(memory_->begin() + static_cast<std::ptrdiff_t>(memory_at_), count, buffer.begin());
    memory_at_ += count;
    return count;
  }
  if (fd_ < 0) return std::nullopt;
  return system::ReadFile(fd_, buffer);
}

bool File::Write(std::span<const uint8_t> data) {
  return fd_ >= 0 && system::WriteFile(fd_, data);
}

bool File::Seek(int64_t offset) {
  if (memory_) {
    // As on the disk, a position past the end reads nothing.
    if (offset < 0) return false;
    memory_at_ = std::min(static_cast<size_t>(offset), memory_->size());
    return true;
  }
  return fd_ >= 0 && system::SeekFile(fd_, offset);
}

std::optional<int64_t> File::Tell() const {
  if (memory_) return static_cast<int64_t>(memory_at_);
  if (fd_ < 0) return std::nullopt;
  return system::TellFile(fd_);
}

std::optional<int64_t> File::Size() const {
  if (memory_) return static_cast<int64_t>(memory_->size());
  if (fd_ < 0) return std::nullopt;
  return system::FileSize(fd_);
}

File File::Duplicate(const std::string& path) const {
  // A fresh open (not dup) so the new handle keeps a file position of its own.
  File copy;
  if (memory_) {
    copy.memory_ = memory_;
  } else if (fd_ >= 0) {
    copy.Open(path, Mode::Read);
  }
  return copy;
}

bool FileExists(const std::string& path) {
  if (const MemoryFolder* folder = ActiveMemoryFolder()) return folder->Find(path) != nullptr;
  return system::IsRegularFile(path);
}

std::optional<FileVersion> StatFileVersion(const std::string& path) {
  // A file of the memory folder: its version tells its contents apart.
  if (const MemoryFolder* folder = ActiveMemoryFolder()) {
    const auto version = folder->Version(path);
    if (!version) return std::nullopt;
    return FileVersion{.inode = *version};
  }
  return system::FileVersionOf(path);
}

bool AtomicFileWriter::Begin(const std::string& path) {
  Abort();
  if (path.empty()) return false;
  path_ = path;
  if (ActiveMemoryFolder()) {
    memory_.emplace();
    return true;
  }
  fd_ = system::CreateTemporaryBeside(path, temp_);
  return fd_ >= 0;
}

bool AtomicFileWriter::Write(std::span<const uint8_t> data) {
  if (memory_) {
    memory_->insert(memory_->end(), data.begin(), data.end());
    return true;
  }
  return fd_ >= 0 && system::WriteFile(fd_, data);
}

bool AtomicFileWriter::Commit() {
  if (memory_) {
    MemoryFolder* folder = ActiveMemoryFolder();
    if (folder) folder->Put(path_, *memory_);
    memory_.reset();
    return folder != nullptr;
  }
  if (fd_ < 0) return false;
  const bool ok = system::CommitTemporary(fd_, temp_, path_, FlushBeforeRename());
  fd_ = -1;
  temp_.clear();
  return ok;
}

void AtomicFileWriter::Abort() {
  memory_.reset();
  if (fd_ >= 0) {
    system::CloseFile(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) system::RemoveFile(temp_);
  temp_.clear();
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  if (const MemoryFolder* folder = ActiveMemoryFolder()) {
    const auto bytes = folder->Find(path);
    if (!bytes) return std::nullopt;
    return *bytes;
  }
  File file;
  if (!file.Open(path, File::Mode::Read)) return std::nullopt;
  const auto size = file.Size();
  if (!size) return std::nullopt;
  std::vector<uint8_t> data(static_cast<size_t>(*size));
  const auto got = file.Read(data);
  if (!got) return std::nullopt;
  data.resize(*got);
  return data;
}

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> data) {
  AtomicFileWriter writer;
  return writer.Begin(path) && writer.Write(data) && writer.Commit();
}

namespace {

// The reason of the last failed system call; an I/O error when the failure set none (a short
// write).
std::error_code LastError() {
  return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, std::error_code& error) {
  error.clear();
  if (const MemoryFolder* folder = ActiveMemoryFolder()) {
    const auto bytes = folder->Find(path);
    if (!bytes) {
      error = std::make_error_code(std::errc::no_such_file_or_directory);
      return std::nullopt;
    }
    return *bytes;
  }
  if (system::IsDirectory(path)) {
    error = std::make_error_code(std::errc::is_a_directory);
    return std::nullopt;
  }
  errno = 0;
  File file;
  if (!file.Open(path, File::Mode::Read)) {
    error = LastError();
    return std::nullopt;
  }
  const auto size = file.Size();
  if (!size) {
    error = LastError();
    return std::nullopt;
  }
  std::vector<uint8_t> data(static_cast<size_t>(*size));
  const auto got = file.Read(data);
  if (!got) {
    error = LastError();
    return std::nullopt;
  }
  data.resize(*got);
  return data;
}

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> data,
                         std::error_code& error) {
  error.clear();
  AtomicFileWriter writer;
  errno = 0;
  if (writer.Begin(path) && writer.Write(data) && writer.Commit()) return true;
  error = LastError();
  return false;
}

namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// The entry of `dir` whose name equals `name` but for ASCII case; empty if none.
std::string FindIgnoringCase(const std::string& dir, std::string_view name) {
  for (std::string& entry : system::ListDirectory(dir))
    if (EqualIgnoringAsciiCase(entry, name)) return std::move(entry);
  return {};
}

}  // namespace

bool IsAtomicWriteTemporaryName(std::string_view name) {
  if (name.size() <= kTemporarySuffix) return false;
  const std::string_view tail = name.substr(name.size() - kTemporaryRandom);
  const std::string_view mark = name.substr(name.size() - kTemporarySuffix, kTemporaryMark.size());
  return mark == kTemporaryMark && std::all_of(tail.begin(), tail.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
         });
}

size_t RemoveStaleTemporaryFiles(const std::string& dir, std::string_view only_for) {
  // Memory holds no temporary files: its writes are whole when they land.
  if (ActiveMemoryFolder()) return 0;
  std::vector<std::string> stale;
  for (const std::string& name : system::ListDirectory(dir)) {
    if (!IsAtomicWriteTemporaryName(name)) continue;
    if (!only_for.empty() &&
        std::string_view(name).substr(0, name.size() - kTemporarySuffix) != only_for)
      continue;
    const std::string path = (dir.empty() || dir.ends_with('/') ? dir : dir + "/") + name;
    if (system::IsRegularFileNotLink(path)) stale.push_back(path);
  }
  size_t removed = 0;
  for (const std::string& path : stale) removed += system::RemoveFile(path) ? 1 : 0;
  return removed;
}

bool CanOpenMoreFiles(int count) {
  // Take the descriptors for real, then give them back.
  std::vector<int> taken;
  for (int i = 0; i < count; ++i) {
    const int fd = system::OpenFile(system::kNullDevice, File::Mode::Read);
    if (fd < 0) break;
    taken.push_back(fd);
  }
  const bool enough = static_cast<int>(taken.size()) == count;
  for (int fd : taken) system::CloseFile(fd);
  return enough;
}

bool StaysInsideGameFolder(std::string_view path) {
  if (path.starts_with('/')) return false;
  // "C:/..." and "C:name" name a drive of their own.
  if (path.substr(0, path.find('/')).find(':') != std::string_view::npos) return false;
  int depth = 0;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (--depth < 0) return false;
    } else if (!part.empty() && part != ".") {
      ++depth;
    }
    start = end + 1;
  }
  return true;
}

namespace {

// The path of an existing file or folder named `path`, each component matched without regard
// to ASCII case where needed; nothing when there is none.
std::optional<std::string> FindLoose(const std::string& path) {
  if (system::PathExists(path)) return path;
  std::string resolved;
  size_t start = 0;
  if (path[0] == '/') {
    resolved = "/";
    start = 1;
  }
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view part(path.data() + start, end - start);
    if (!part.empty()) {
      std::string candidate = resolved + std::string(part);
      if (!system::PathExists(candidate)) {
        const std::string match = FindIgnoringCase(resolved, part);
        if (match.empty()) return std::nullopt;
        candidate = resolved + match;
      }
      resolved = candidate;
      if (end < path.size()) resolved += '/';
    }
    start = end + 1;
  }
  return resolved;
}

}  // namespace

std::string ResolveLoosePath(std::string_view name) {
  std::string path(name);
  for (char& c : path)
    if (c == '\\') c = '/';
  if (!StaysInsideGameFolder(path)) return {};
  if (path.empty()) return path;
  if (const MemoryFolder* folder = ActiveMemoryFolder()) {
    if (folder->Find(path)) return path;
    std::string match = folder->FindIgnoringCase(path);
    return match.empty() ? path : match;
  }
  if (auto found = FindLoose(path)) return *found;
  // Scripts name files in GBK; a game unpacked by tools that write UTF-8 names has them in
  // UTF-8.
  if (std::any_of(path.begin(), path.end(), [](char c) { return (c & 0x80) != 0; })) {
    if (auto found = FindLoose(gbk::ToUtf8(path))) return *found;
  }
  return path;
}

namespace {

std::mutex& PathMutex() {
  static std::mutex m;
  return m;
}
std::string& PathOverride() {
  static std::string path;
  return path;
}

}  // namespace

std::string ProgramPath() {
  {
    std::lock_guard lock(PathMutex());
    if (!PathOverride().empty()) return PathOverride();
  }
  return system::ProgramPath();
}

void SetProgramPathOverride(std::string path) {
  std::lock_guard lock(PathMutex());
  PathOverride() = std::move(path);
}

std::string DirectoryOf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash + 1));
}

}  // namespace tvx::platform
