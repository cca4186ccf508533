// What the file layer asks of the operating system, beyond the handles of file.h; one
// implementation per system (file_posix.cpp, file_windows.cpp). Paths are the engine's
// strings with '/' separators.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::platform {

// AtomicFileWriter's temporary files: the file's name, then ".tmp" and six letters or
// digits chosen so that the name is new.
constexpr std::string_view kTemporaryMark = ".tmp";
constexpr size_t kTemporaryRandom = 6;
constexpr size_t kTemporarySuffix = kTemporaryMark.size() + kTemporaryRandom;

namespace system {

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
