// The settings file TVXCHS.INI beside the program file. Nothing is cached: every read and
// write goes to the file, so what one component writes the next read returns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvx {

class SettingsFile {
 public:
  static constexpr std::string_view kFileName = "TVXCHS.INI";

  // The path beside the program file, whatever the current directory is.
  SettingsFile();
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }
  int32_t ReadInt(std::string_view section, std::string_view key, int32_t default_value) const;
  // The value or the default, cut to capacity - 1 bytes (the size of the caller's buffer).
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value, size_t capacity) const;
  void WriteInt(std::string_view section, std::string_view key, int32_t value) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view text) const;

 private:
  std::string path_;
};

}  // namespace tvx
