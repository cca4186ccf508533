// Settings files in the classic INI form: "[Section]" lines and "Key=Value" lines, sections
// and keys compared without regard to ASCII case. The functions on a path read the file fresh
// each time; ParsedProfile is the same reading done once, for a caller that keeps it.
// Writes keep every other line of the file and replace it atomically.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tvx::platform::profile {

// The values of a file's text: the first section of each name, the first key of each name in
// it, as ReadValue finds them.
class ParsedProfile {
 public:
  static ParsedProfile Parse(std::string_view content);
  // As ReadValue.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

 private:
  // Lower-cased section, then lower-cased key.
  std::map<std::string, std::map<std::string, std::string>, std::less<>> sections_;
};

// The text of a file after the key is set in it, as WriteString writes it.
std::string WithValue(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value);

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
