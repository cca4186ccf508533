#include "platform/profile_file.h"

#include <algorithm>
#include <vector>

#include "platform/file.h"

namespace tvx::platform::profile {
namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::vector<std::string_view> SplitLines(std::string_view content) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// "[Name]" gives Name; anything else nullopt.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyValue {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyValue> SplitKeyValue(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyValue{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

std::string Load(const std::string& path) {
  auto data = ReadWholeFile(path);
  if (!data) return {};
  return std::string(data->begin(), data->end());
}

}  // namespace

ParsedProfile ParsedProfile::Parse(std::string_view content) {
  ParsedProfile parsed;
  std::map<std::string, std::string>* current = nullptr;
  for (std::string_view line : SplitLines(content)) {
    if (auto name = SectionName(line)) {
      // Only the first section of a name counts.
      const auto [section, added] = parsed.sections_.try_emplace(Lower(*name));
      current = added ? &section->second : nullptr;
      continue;
    }
    if (current == nullptr) continue;
    auto kv = SplitKeyValue(line);
    if (!kv) continue;
    std::string_view value = kv->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    current->try_emplace(Lower(kv->key), value);  // the first of a name counts
  }
  return parsed;
}

std::optional<std::string> ParsedProfile::Value(std::string_view section,
                                                std::string_view key) const {
  const auto found = sections_.find(Lower(section));
  if (found == sections_.end()) return std::nullopt;
  const auto value = found->second.find(Lower(key));
  if (value == found->second.end()) return std::nullopt;
  return value->second;
}

std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
  return ParsedProfile::Parse(Load(path)).Value(section, key);
}

int32_t ParseInt(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10u + static_cast<uint32_t>(c - '0');  // wraps like a 32-bit register
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

int32_t ReadInt(const std::string& path, std::string_view section, std::string_view key,
                int32_t default_value) {
  const auto value = ReadValue(path, section, key);
  return value ? ParseInt(*value) : default_value;
}

std::string ReadString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view default_value, size_t capacity) {
  std::string value = ReadValue(path, section, key).value_or(std::string(default_value));
  const size_t limit = capacity == 0 ? 0 : capacity - 1;
  if (value.size() > limit) value.resize(limit);
  return value;
}

std::string WithValue(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value) {
  const std::string eol =
      content.find("\r\n") != std::string::npos || content.empty() ? "\r\n" : "\n";
  const std::vector<std::string_view> lines = SplitLines(content);
  const std::string entry = std::string(key) + "=" + std::string(value);

  // Find the first section of that name, its key, and the line after its last entry.
  std::optional<size_t> section_line, key_line;
  size_t insert_at = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i])) {
      if (section_line) break;
      if (EqualNoCase(*name, section)) {
        section_line = i;
        insert_at = i + 1;
      }
      continue;
    }
    if (!section_line) continue;
    if (!Trim(lines[i]).empty()) insert_at = i + 1;
    auto kv = SplitKeyValue(lines[i]);
    if (kv && EqualNoCase(kv->key, key)) {
      key_line = i;
      break;
    }
  }

  std::vector<std::string> out(lines.begin(), lines.end());
  if (key_line) {
    out[*key_line] = entry;
  } else if (section_line) {
    out.insert(out.begin() + static_cast<ptrdiff_t>(insert_at), entry);
  } else {
    if (!out.empty() && !Trim(out.back()).empty()) out.emplace_back();
    out.push_back("[" + std::string(section) + "]");
    out.push_back(entry);
  }
  std::string text;
  for (const std::string& line : out) text += line + eol;
  return text;
}

bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value) {
  const std::string text = WithValue(Load(path), section, key, value);
  return WriteFileAtomically(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

}  // namespace tvx::platform::profile
