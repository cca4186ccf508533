// A settings file as `talvex-tool build` writes it: sections of keys in order, matched
// without regard to case as the engine matches them. Comments are not kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::tool {

class SettingsText {
 public:
  // "[Section]" and "Key=Value" lines; blanks around keys and values dropped, ';' lines
  // and anything else skipped. Only the first section of a name and the first key of a name
  // in it count, as for the engine.
  static SettingsText Parse(std::string_view text);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the key's value, or adds the key at the end of its section (and the section at
  // the end of the file).
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Every key of `other` set here: its values win, keys only here stay.
  void Merge(const SettingsText& other);
  // The value read as the engine reads a number: an optional sign and the digits up to the
  // first other character (one pair of quotes dropped); 0 when missing.
  long Number(std::string_view section, std::string_view key) const;

  // The file's text, with CRLF line ends and a blank line between sections.
  std::string Render() const;

 private:
  struct Key {
    std::string name;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Key> keys;
  };
  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;

  std::vector<Section> sections_;
};

}  // namespace tvx::tool
