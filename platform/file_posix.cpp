// The file layer's system calls on POSIX systems: descriptors, mkostemp and rename for
// atomic writes, stat, directory listing, /proc/self/exe and a flock'ed lock file.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/file.h"
#include "platform/file_system.h"

namespace tvx::platform {

namespace system {

const char* const kNullDevice = "/dev/null";

int OpenFile(const std::string& path, File::Mode mode) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case File::Mode::Read:
      flags |= O_RDONLY;
      break;
    case File::Mode::ReadWrite:
      flags |= O_RDWR;
      break;
    case File::Mode::CreateTruncate:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
  }
  int fd = -1;
  do {
    fd = ::open(path.c_str(), flags, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool CloseFile(int fd) {
  return ::close(fd) == 0;
}

std::optional<size_t> ReadFile(int fd, std::span<uint8_t> buffer) {
  size_t total = 0;
  while (total < buffer.size()) {
    const ssize_t n = ::read(fd, buffer.data() + total, buffer.size() - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    total += static_cast<size_t>(n);
  }
  return total;
}

bool WriteFile(int fd, std::span<const uint8_t> data) {
  size_t total = 0;
  while (total < data.size()) {
    const ssize_t n = ::write(fd, data.data() + total, data.size() - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    total += static_cast<size_t>(n);
  }
  return true;
}

bool SeekFile(int fd, int64_t offset) {
  return offset >= 0 && ::lseek(fd, offset, SEEK_SET) == offset;
}

std::optional<int64_t> TellFile(int fd) {
  const off_t at = ::lseek(fd, 0, SEEK_CUR);
  if (at < 0) return std::nullopt;
  return at;
}

std::optional<int64_t> FileSize(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return std::nullopt;
  return info.st_size;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int CreateTemporaryBeside(const std::string& path, std::string& temp) {
  temp = path + std::string(kTemporaryMark) + std::string(kTemporaryRandom, 'X');
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) temp.clear();
  return fd;
}

bool CommitTemporary(int fd, const std::string& temp, const std::string& path, bool flush) {
  bool ok = ::fchmod(fd, 0644) == 0 && (!flush || ::fsync(fd) == 0);
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    const int reason = errno;
    ::unlink(temp.c_str());
    errno = reason;
  }
  return ok;
}

}  // namespace system

namespace system {

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsRegularFileNotLink(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> ListDirectory(const std::string& dir) {
  std::vector<std::string> names;
  DIR* handle = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!handle) return names;
  while (const dirent* entry = ::readdir(handle)) names.emplace_back(entry->d_name);
  ::closedir(handle);
  return names;
}

bool RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

std::string ProgramPath() {
  // No fixed limit: an installation may sit deep in the file system.
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<size_t>(n));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<FileVersion> FileVersionOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileVersion{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
                     static_cast<uint64_t>(info.st_size),
                     info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec,
                     info.st_ctim.tv_sec * 1'000'000'000LL + info.st_ctim.tv_nsec};
}

}  // namespace system

namespace {

int& LockFd() {
  static int fd = -1;
  return fd;
}

std::string LockFilePath(const std::string& program_path) {
  std::string canonical = program_path;
  if (char* real = ::realpath(program_path.c_str(), nullptr)) {
    canonical = real;
    std::free(real);
  }
  // FNV-1a names the lock after the installation's program file.
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : canonical) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  std::string dir = "/tmp";
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    struct stat info {};
    if (::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) dir = runtime;
  }
  char name[80];
  std::snprintf(name, sizeof name, "/talvex-%u-%016llx.lock", static_cast<unsigned>(::getuid()),
                static_cast<unsigned long long>(hash));
  return dir + name;
}

}  // namespace

bool AcquireSingleInstance(const std::string& program_path) {
  const std::string lock_path = LockFilePath(program_path);
  const int fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // Without a lock file we cannot tell; running is better than refusing to start.
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return errno != EWOULDBLOCK;
  }
  if (LockFd() >= 0) ::close(LockFd());
  LockFd() = fd;  // kept open for the life of the process
  return true;
}

void ReleaseSingleInstanceForTesting() {
  if (LockFd() >= 0) ::close(LockFd());
  LockFd() = -1;
}

}  // namespace tvx::platform
