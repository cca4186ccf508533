#include "tools/settings_text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tvx::tool {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

SettingsText SettingsText::Parse(std::string_view text) {
  SettingsText settings;
  Section* current = nullptr;
  bool skipping = false;  // inside a second section of a name
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      const std::string_view name = Trim(line.substr(1, close - 1));
      skipping = settings.FindSection(name) != nullptr;
      if (!skipping) {
        settings.sections_.push_back({std::string(name), {}});
        current = &settings.sections_.back();
      }
      continue;
    }
    const size_t equals = line.find('=');
    if (!current || skipping || equals == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, equals));
    if (key.empty()) continue;
    const bool taken = std::any_of(current->keys.begin(), current->keys.end(),
                                   [&](const Key& k) { return SameName(k.name, key); });
    if (!taken)
      current->keys.push_back({std::string(key), std::string(Trim(line.substr(equals + 1)))});
  }
  return settings;
}

SettingsText::Section* SettingsText::FindSection(std::string_view name) {
  for (Section& section : sections_)
    if (SameName(section.name, name)) return &section;
  return nullptr;
}

const SettingsText::Section* SettingsText::FindSection(std::string_view name) const {
  for (const Section& section : sections_)
    if (SameName(section.name, name)) return &section;
  return nullptr;
}

std::optional<std::string> SettingsText::Get(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  if (!found) return std::nullopt;
  for (const Key& k : found->keys)
    if (SameName(k.name, key)) return k.value;
  return std::nullopt;
}

void SettingsText::Set(std::string_view section, std::string_view key, std::string_view value) {
  Section* found = FindSection(section);
  if (!found) {
    sections_.push_back({std::string(section), {}});
    found = &sections_.back();
  }
  for (Key& k : found->keys) {
    if (SameName(k.name, key)) {
      k.value = value;
      return;
    }
  }
  found->keys.push_back({std::string(key), std::string(value)});
}

void SettingsText::Merge(const SettingsText& other) {
  for (const Section& section : other.sections_)
    for (const Key& key : section.keys) Set(section.name, key.name, key.value);
}

long SettingsText::Number(std::string_view section, std::string_view key) const {
  std::string value = Get(section, key).value_or("");
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::strtol(value.c_str(), nullptr, 10);
}

std::string SettingsText::Render() const {
  std::string text;
  for (const Section& section : sections_) {
    if (!text.empty()) text += "\r\n";
    text += "[" + section.name + "]\r\n";
    for (const Key& key : section.keys) text += key.name + "=" + key.value + "\r\n";
  }
  return text;
}

}  // namespace tvx::tool
