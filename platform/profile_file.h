// Settings files in the classic INI form: "[Section]" lines and "Key=Value" lines, sections
// and keys compared without regard to ASCII case, values read fresh from the file each time.
// Writes keep every other line of the file and replace it atomically.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvx::platform::profile {

// The key's value with surrounding blanks (and one pair of enclosing quotes) removed, or
// nullopt when the file, the section or the key is missing.
std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key);

// The value parsed as a decimal integer (optional leading minus); text that does not start
// with a number reads as 0; a missing key gives the default.
int32_t ReadInt(const std::string& path, std::string_view section, std::string_view key,
                int32_t default_value);

// The value (or the default), cut to capacity - 1 bytes.
std::string ReadString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view default_value, size_t capacity);

// Sets the key, creating the file, the section or the key as needed. False when the file
// could not be written.
bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value);

// The parser used by ReadInt, on its own.
int32_t ParseInt(std::string_view text);

}  // namespace tvx::platform::profile
