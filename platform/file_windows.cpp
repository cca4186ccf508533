// The file layer's system calls on Windows: the C runtime's descriptors opened by wide
// names, MoveFileEx for atomic writes, wide directory listing, GetModuleFileName and a named
// mutex for the single-instance rule. Every path goes through WidePath, so Chinese names and
// long paths work.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/windows_text.h"

namespace tvx::platform {

using windows::WidePath;

namespace {

// errno for the last failed Windows call, so callers read one kind of reason everywhere.
void SetErrnoFromLastError() {
  switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EACCES;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      errno = EEXIST;
      break;
    default:
      errno = EIO;
      break;
  }
}

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
  return ::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

// The runtime reads and writes at most INT_MAX bytes a call.
constexpr size_t kChunk = 1u << 30;

}  // namespace

namespace system {

const char* const kNullDevice = "NUL";

int OpenFile(const std::string& path, File::Mode mode) {
  int flags = _O_BINARY | _O_NOINHERIT;
  switch (mode) {
    case File::Mode::Read:
      flags |= _O_RDONLY;
      break;
    case File::Mode::ReadWrite:
      flags |= _O_RDWR;
      break;
    case File::Mode::CreateTruncate:
      flags |= _O_RDWR | _O_CREAT | _O_TRUNC;
      break;
  }
  const int fd = ::_wopen(WidePath(path).c_str(), flags, _S_IREAD | _S_IWRITE);
  if (fd < 0) return -1;
  struct _stat64 info {};
  if (::_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFDIR) != 0) {
    ::_close(fd);
    return -1;
  }
  return fd;
}

bool CloseFile(int fd) {
  return ::_close(fd) == 0;
}

std::optional<size_t> ReadFile(int fd, std::span<uint8_t> buffer) {
  size_t total = 0;
  while (total < buffer.size()) {
    const auto want = static_cast<unsigned>(std::min(buffer.size() - total, kChunk));
    const int n = ::_read(fd, buffer.data() + total, want);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    total += static_cast<size_t>(n);
  }
  return total;
}

bool WriteFile(int fd, std::span<const uint8_t> data) {
  size_t total = 0;
  while (total < data.size()) {
    const auto want = static_cast<unsigned>(std::min(data.size() - total, kChunk));
    const int n = ::_write(fd, data.data() + total, want);
    if (n <= 0) return false;
    total += static_cast<size_t>(n);
  }
  return true;
}

bool SeekFile(int fd, int64_t offset) {
  return offset >= 0 && ::_lseeki64(fd, offset, SEEK_SET) == offset;
}

std::optional<int64_t> TellFile(int fd) {
  const int64_t at = ::_telli64(fd);
  if (at < 0) return std::nullopt;
  return at;
}

std::optional<int64_t> FileSize(int fd) {
  struct _stat64 info {};
  if (::_fstat64(fd, &info) != 0) return std::nullopt;
  return info.st_size;
}

bool IsRegularFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return Attributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int CreateTemporaryBeside(const std::string& path, std::string& temp) {
  // Six random letters or digits, as mkostemp chooses on other systems; a name already
  // taken is passed over.
  static constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 random(static_cast<unsigned>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^ ::GetCurrentThreadId()));
  std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = path + std::string(kTemporaryMark);
    for (size_t i = 0; i < kTemporaryRandom; ++i) temp += kLetters[pick(random)];
    const int fd =
        ::_wopen(WidePath(temp).c_str(), _O_BINARY | _O_NOINHERIT | _O_RDWR | _O_CREAT | _O_EXCL,
                 _S_IREAD | _S_IWRITE);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  temp.clear();
  return -1;
}

bool CommitTemporary(int fd, const std::string& temp, const std::string& path, bool flush) {
  bool ok = !flush || ::_commit(fd) == 0;
  ok = (::_close(fd) == 0) && ok;
  const std::wstring wide_temp = WidePath(temp);
  if (ok && !::MoveFileExW(wide_temp.c_str(), WidePath(path).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    SetErrnoFromLastError();
    ok = false;
  }
  if (!ok) {
    const int reason = errno;
    ::_wunlink(wide_temp.c_str());
    errno = reason;
  }
  return ok;
}

}  // namespace system

namespace system {

bool PathExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return Attributes(path, data);
}

bool IsDirectory(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return Attributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsRegularFileNotLink(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return Attributes(path, data) &&
         (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

std::vector<std::string> ListDirectory(const std::string& dir) {
  std::vector<std::string> names;
  const std::wstring pattern = WidePath((dir.empty() ? std::string(".") : dir) + "/*");
  WIN32_FIND_DATAW found{};
  HANDLE handle = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
  if (handle == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(windows::Utf8(found.cFileName));
  } while (::FindNextFileW(handle, &found));
  ::FindClose(handle);
  return names;
}

bool RemoveFile(const std::string& path) {
  return ::_wunlink(WidePath(path).c_str()) == 0;
}

std::string ProgramPath() {
  // No fixed limit: an installation may sit deep in the file system.
  std::wstring buffer(260, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  if (buffer.starts_with(L"\\\\?\\")) buffer.erase(0, 4);
  std::string path = windows::Utf8(buffer);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::optional<FileVersion> FileVersionOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!Attributes(path, data)) return std::nullopt;
  const auto ticks = [](FILETIME t) {
    return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) *
           100;
  };
  FileVersion version;
  version.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  version.modified_ns = ticks(data.ftLastWriteTime);
  version.changed_ns = ticks(data.ftCreationTime);
  return version;
}

}  // namespace system

namespace {

HANDLE& InstanceMutex() {
  static HANDLE handle = nullptr;
  return handle;
}

}  // namespace

bool AcquireSingleInstance(const std::string& program_path) {
  // The mutex is named after the installation's program file (FNV-1a of its full path,
  // without regard to case, as the file system ignores it).
  std::wstring canonical = windows::Wide(program_path);
  wchar_t full[32768];
  const DWORD n = ::GetFullPathNameW(canonical.c_str(), 32768, full, nullptr);
  if (n > 0 && n < 32768) canonical.assign(full, n);
  uint64_t hash = 1469598103934665603ull;
  for (wchar_t c : canonical) {
    if (c == L'/') c = L'\\';
    c = static_cast<wchar_t>(::towupper(c));
    hash ^= static_cast<uint16_t>(c);
    hash *= 1099511628211ull;
  }
  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\talvex-%016llx", static_cast<unsigned long long>(hash));
  HANDLE handle = ::CreateMutexW(nullptr, FALSE, name);
  // Without a mutex we cannot tell; running is better than refusing to start.
  if (!handle) return true;
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(handle);
    return false;
  }
  if (InstanceMutex()) ::CloseHandle(InstanceMutex());
  InstanceMutex() = handle;  // held for the life of the process; the system drops it at exit
  return true;
}

void ReleaseSingleInstanceForTesting() {
  if (InstanceMutex()) ::CloseHandle(InstanceMutex());
  InstanceMutex() = nullptr;
}

}  // namespace tvx::platform
