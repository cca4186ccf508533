#include "tools/entry_names.h"

#include <algorithm>
#include <cstdint>

#include "archive/archive_format.h"
#include "resources/gbk.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<uint8_t>(c) < 0x80; });
}

bool IsControl(char c) {
  const auto byte = static_cast<uint8_t>(c);
  return byte < 0x20 || byte == 0x7F;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    const auto lead = static_cast<uint8_t>(text[pos++]);
    if (lead < 0x80) continue;
    size_t more = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      more = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      more = 2;
      if (lead == 0xE0) low = 0xA0;   // overlong
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      more = 3;
      if (lead == 0xF0) low = 0x90;   // overlong
      if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
      return false;
    }
    for (size_t i = 0; i < more; ++i) {
      if (pos == text.size()) return false;
      const auto next = static_cast<uint8_t>(text[pos++]);
      if (next < low || next > high) return false;
      low = 0x80;
      high = 0xBF;
    }
  }
  return true;
}

std::optional<std::string> ToArchiveEncoding(std::string_view disk_name) {
  if (IsAscii(disk_name) || !IsValidUtf8(disk_name)) return std::string(disk_name);
  std::string gbk = gbk::FromUtf8(disk_name);
  // FromUtf8 turns what GBK lacks into '?': only an exact way back means nothing was lost.
  if (gbk::ToUtf8(gbk) != disk_name) return std::nullopt;
  return gbk;
}

std::optional<std::string> StoredEntryName(std::string_view disk_name) {
  auto encoded = ToArchiveEncoding(disk_name);
  if (!encoded) return std::nullopt;
  return arc::UpperCased(*encoded);
}

bool UpperCasingAltersCharacters(std::string_view gbk_name) {
  for (size_t i = 0; i < gbk_name.size(); ++i) {
    const auto lead = static_cast<uint8_t>(gbk_name[i]);
    if (lead < 0x81 || lead == 0xFF || i + 1 == gbk_name.size()) continue;
    const char trail = gbk_name[++i];
    if (trail >= 'a' && trail <= 'z') return true;
  }
  return false;
}

bool HasControlBytes(std::string_view name) {
  return std::any_of(name.begin(), name.end(), IsControl);
}

std::string DisplayName(std::string_view stored_name) {
  const std::string text =
      IsAscii(stored_name) ? std::string(stored_name) : gbk::ToUtf8(stored_name);
  if (!HasControlBytes(text)) return text;
  // Control bytes (an escape sequence among them) would act on the terminal: shown as \xNN.
  std::string shown;
  for (const char c : text) {
    if (!IsControl(c)) {
      shown += c;
      continue;
    }
    constexpr std::string_view kHex = "0123456789abcdef";
    const auto byte = static_cast<uint8_t>(c);
    shown += "\\x";
    shown += kHex[byte >> 4];
    shown += kHex[byte & 0xF];
  }
  return shown;
}

std::optional<std::string> SafeDiskName(std::string_view stored_name) {
  std::string name(stored_name);
  if (!IsAscii(stored_name)) {
    std::string utf8 = gbk::ToUtf8(stored_name);
    if (utf8.find(kReplacementUtf8) == std::string::npos) name = std::move(utf8);
  }
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  if (name.find_first_of("/\\") != std::string::npos) return std::nullopt;
  if (HasControlBytes(name)) return std::nullopt;
  return name;
}

}  // namespace tvx::tool
