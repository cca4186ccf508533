#include "platform/settings_file.h"

#include "platform/file.h"
#include "platform/profile_file.h"

namespace tvx {

SettingsFile::SettingsFile()
    : path_(platform::DirectoryOf(platform::ProgramPath()) + std::string(kFileName)) {}

int32_t SettingsFile::ReadInt(std::string_view section, std::string_view key,
                              int32_t default_value) const {
  return platform::profile::ReadInt(path_, section, key, default_value);
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view default_value, size_t capacity) const {
  return platform::profile::ReadString(path_, section, key, default_value, capacity);
}

void SettingsFile::WriteInt(std::string_view section, std::string_view key, int32_t value) const {
  WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view text) const {
  // A write that fails is ignored: the game goes on with what it has.
  (void)platform::profile::WriteString(path_, section, key, text);
}

}  // namespace tvx
