// Files as the engine uses them: handles with read, write, seek, size and duplicate; whole-file
// writes that replace the old file only once the new one is complete; the program's own path;
// the single-instance lock.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tvx::platform {

class File {
 public:
  enum class Mode : uint8_t { Read, ReadWrite, CreateTruncate };

  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  ~File();

  // With a memory folder in use (memory_folder.h) only Mode::Read opens, on its bytes.
  bool Open(const std::string& path, Mode mode);
  // False when the system reports a failure; the handle is released either way.
  bool Close();
  bool IsOpen() const { return fd_ >= 0 || memory_ != nullptr; }
  // Reads up to buffer.size() bytes; the count read, or nullopt on error.
  std::optional<size_t> Read(std::span<uint8_t> buffer);
  // Writes all bytes; false on any error or short write.
  bool Write(std::span<const uint8_t> data);
  bool Seek(int64_t offset);
  std::optional<int64_t> Tell() const;
  std::optional<int64_t> Size() const;
  // A second handle on the same open file with a position of its own.
  File Duplicate(const std::string& path) const;

 private:
  int fd_ = -1;
  // A file of the memory folder: its bytes and the read position.
  std::shared_ptr<const std::vector<uint8_t>> memory_;
  size_t memory_at_ = 0;
};

// Writes a file so that it replaces the old one only once it is complete: a temporary file
// beside it, flushed, then renamed over it. Until Commit nothing is replaced.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter() { Abort(); }

  bool Begin(const std::string& path);
  bool Write(std::span<const uint8_t> data);
  // Flushes, closes and renames; false (and the old file kept) on any failure.
  bool Commit();
  void Abort();

 private:
  std::string path_;
  std::string temp_;
  int fd_ = -1;
  // With a memory folder in use: the bytes written so far, put into the folder by Commit.
  std::optional<std::vector<uint8_t>> memory_;
};

bool FileExists(const std::string& path);

// What tells one version of a file from another without reading it.
struct FileVersion {
  uint64_t device = 0, inode = 0, size = 0;
  int64_t modified_ns = 0, changed_ns = 0;
  bool operator==(const FileVersion&) const = default;
};
// Nothing when the file does not exist.
std::optional<FileVersion> StatFileVersion(const std::string& path);
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);
// Writes to a temporary file beside `path`, flushes it and renames it over `path`, so a
// failed or interrupted write leaves the old file as it was.
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> data);
// The same, with the system's reason for a failure in `error` (cleared on success); a folder
// is refused as "Is a directory".
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, std::error_code& error);
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> data,
                         std::error_code& error);

// Whether AtomicFileWriter flushes a file to the disk before its rename (on unless turned off).
// A harness that writes many short-lived files turns it off; the old file is still replaced
// only once the new one is complete, but a power failure may then lose the new one.
void SetFlushBeforeRename(bool flush);
bool FlushBeforeRename();

// Whether `name` is a temporary file name of AtomicFileWriter: a file name, ".tmp" and the
// six letters or digits the system chose.
bool IsAtomicWriteTemporaryName(std::string_view name);
// Removes the regular files in `dir` ("" for the current directory) named as AtomicFileWriter
// names its temporary files (only those of the file `only_for`, when given): what a write
// killed before its rename left behind. Nothing else is touched. The number removed.
size_t RemoveStaleTemporaryFiles(const std::string& dir, std::string_view only_for = {});

// The path of a loose file named by a game: backslashes become slashes, and when no file has
// exactly that name, a file whose name differs only in ASCII case is taken (names in scripts
// were written for a file system that ignores case). The name as given when nothing matches.
// A name that leaves the game folder (an absolute path, a drive, or one whose ".." climbs
// above the folder) resolves to "", which no file has: opening it fails as for a missing file.
std::string ResolveLoosePath(std::string_view name);
// Whether a path with '/' separators stays inside the folder it is taken from.
bool StaysInsideGameFolder(std::string_view path);

// Whether this process may still open at least `count` more files.
bool CanOpenMoreFiles(int count);

// The program file's full path; tests and the run tool may point it elsewhere (the settings
// file is looked for beside it).
std::string ProgramPath();
void SetProgramPathOverride(std::string path);
// Directory part of a path, with its trailing separator ("" when there is none).
std::string DirectoryOf(std::string_view path);

// Takes the lock that lets one copy of a program file run at a time. It is held until the
// process ends (the system drops it even after a crash). False when another copy holds it.
// Copies of the program at different paths do not share a lock.
bool AcquireSingleInstance(const std::string& program_path);
// Lets go of a lock taken by this process (tests only).
void ReleaseSingleInstanceForTesting();

}  // namespace tvx::platform
