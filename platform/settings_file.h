// The settings file TVXCHS.INI beside the program file. It is read once and kept parsed, the
// parsed form shared by every SettingsFile of the same path, so that what one component
// writes the next read returns, from any of them; a write still goes to the file at once. A
// file that another program changed meanwhile (another size, time or file on the disk) is read
// again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tvx {

class SettingsFile {
 public:
  static constexpr std::string_view kFileName = "TVXCHS.INI";

  // The path beside the program file, whatever the current directory is.
  SettingsFile();
  explicit SettingsFile(std::string path);

  const std::string& path() const { return path_; }
  int32_t ReadInt(std::string_view section, std::string_view key, int32_t default_value) const;
  // The value or the default, cut to capacity - 1 bytes (the size of the caller's buffer).
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value, size_t capacity) const;
  void WriteInt(std::string_view section, std::string_view key, int32_t value) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view text) const;

  // How many times a settings file was read from the disk and parsed, in this process.
  static uint64_t FileReads();

 private:
  struct Kept;
  // One kept form per path while any SettingsFile of it lives.
  static std::shared_ptr<Kept> KeptFor(const std::string& path);

  std::string path_;
  std::shared_ptr<Kept> kept_;
};

}  // namespace tvx
