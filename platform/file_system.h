// What the file layer asks of the operating system, beyond the handles of file.h; one
// implementation per system (file_posix.cpp, file_windows.cpp). Paths are the engine's
// strings with '/' separators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace tvx::platform {

// AtomicFileWriter's temporary files: the file's name, then ".tmp" and six letters or
// digits chosen so that the name is new.
constexpr std::string_view kTemporaryMark = ".tmp";
constexpr size_t kTemporaryRandom = 6;
constexpr size_t kTemporarySuffix = kTemporaryMark.size() + kTemporaryRandom;

namespace system {

// A file that can always be opened for reading ("/dev/null", "NUL").
extern const char* const kNullDevice;

// Descriptors: -1 for none. A folder does not open.
int OpenFile(const std::string& path, File::Mode mode);
bool CloseFile(int fd);
std::optional<size_t> ReadFile(int fd, std::span<uint8_t> buffer);
bool WriteFile(int fd, std::span<const uint8_t> data);
bool SeekFile(int fd, int64_t offset);
std::optional<int64_t> TellFile(int fd);
std::optional<int64_t> FileSize(int fd);
bool IsRegularFile(const std::string& path);
std::optional<FileVersion> FileVersionOf(const std::string& path);

// AtomicFileWriter's temporary file beside `path` (its name in `temp`), made new; -1 when
// it cannot be made.
int CreateTemporaryBeside(const std::string& path, std::string& temp);
// Flushes (when `flush`), closes and renames the temporary file over `path`; on failure the
// temporary file is removed and errno tells why.
bool CommitTemporary(int fd, const std::string& temp, const std::string& path, bool flush);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// A regular file, not a link to one.
bool IsRegularFileNotLink(const std::string& path);
// The names in a folder ("" for the current one), "." and ".." among them where the system
// lists them; nothing when it cannot be read.
std::vector<std::string> ListDirectory(const std::string& dir);
bool RemoveFile(const std::string& path);
// The running program file's full path; "" when the system does not tell.
std::string ProgramPath();

}  // namespace system
}  // namespace tvx::platform
