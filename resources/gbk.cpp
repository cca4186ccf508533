#include "resources/gbk.h"

#include <optional>
#include <span>

#include "resources/blob_layout.h"
#include "resources/byte_order.h"
#include "resources/embedded_blobs.h"

namespace tvx::gbk {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code-page blob, checked once. A blob that does not match converts nothing.
struct CodePage {
  std::span<const std::byte> to_unicode;
  std::span<const std::byte> page_index;
  std::span<const std::byte> pages;
};

CodePage OpenCodePage(std::span<const std::byte> data) {
  if (data.size() < blob::kPagesOffset) return {};
  for (size_t i = 0; i < blob::kCodePageMagic.size(); ++i) {
    if (bytes::Load8(data, i) != static_cast<uint8_t>(blob::kCodePageMagic[i])) return {};
  }
  const size_t page_count = bytes::LoadLe32(data, 4);
  if (data.size() - blob::kPagesOffset != page_count * 2 * blob::kPageSize) return {};
  for (size_t page = 0; page < blob::kPageIndexSize; ++page) {
    const uint16_t number = bytes::LoadLe16(data, blob::kPageIndexOffset + 2 * page);
    if (number != blob::kNoPage && number >= page_count) return {};
  }
  return {data.subspan(blob::kToUnicodeOffset, 2 * blob::kSlotCount),
          data.subspan(blob::kPageIndexOffset, 2 * blob::kPageIndexSize),
          data.subspan(blob::kPagesOffset)};
}

const CodePage& Tables() {
  static const CodePage tables = OpenCodePage(blob::CodePageBlob());
  return tables;
}

void AppendUtf8(std::string& out, char32_t cp) {
  const auto put = [&](uint32_t byte) { out.push_back(static_cast<char>(byte)); };
  if (cp < 0x80) {
    put(cp);
  } else if (cp < 0x800) {
    put(0xC0 | cp >> 6);
    put(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    put(0xE0 | cp >> 12);
    put(0x80 | (cp >> 6 & 0x3F));
    put(0x80 | (cp & 0x3F));
  } else {
    put(0xF0 | cp >> 18);
    put(0x80 | (cp >> 12 & 0x3F));
    put(0x80 | (cp >> 6 & 0x3F));
    put(0x80 | (cp & 0x3F));
  }
}

// Decodes the UTF-8 sequence at `pos` and moves past it. An ill-formed sequence yields nothing
// and is skipped up to the first byte that cannot continue it, so each broken part counts once.
std::optional<char32_t> NextCodePoint(std::string_view utf8, size_t& pos) {
  const auto lead = static_cast<uint8_t>(utf8[pos++]);
  if (lead < 0x80) return lead;
  int more = 0;
  char32_t cp = 0;
  uint8_t low = 0x80;
  uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return std::nullopt;
  }
  for (; more > 0; --more) {
    if (pos >= utf8.size()) return std::nullopt;
    const auto next = static_cast<uint8_t>(utf8[pos]);
    if (next < low || next > high) return std::nullopt;
    cp = cp << 6 | (next & 0x3F);
    ++pos;
    low = 0x80;
    high = 0xBF;
  }
  return cp;
}

}  // namespace

char32_t ToUnicode(uint16_t code) {
  if (code < blob::kSingleByteSlots) return code;
  const auto slot = blob::SlotOf(code);
  const CodePage& tables = Tables();
  if (!slot || tables.to_unicode.empty()) return 0;
  return bytes::LoadLe16(tables.to_unicode, 2 * *slot);
}

uint16_t FromUnicode(char32_t cp) {
  if (cp < 0x80) return static_cast<uint16_t>(cp);
  const CodePage& tables = Tables();
  if (cp > 0xFFFF || tables.page_index.empty()) return 0;
  const uint16_t page = bytes::LoadLe16(tables.page_index, 2 * (cp >> 8));
  if (page == blob::kNoPage) return 0;
  return bytes::LoadLe16(tables.pages, 2 * (page * blob::kPageSize + (cp & 0xFF)));
}

std::string ToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto byte = static_cast<uint8_t>(gbk[i]);
    if (byte < 0x80) {
      out.push_back(static_cast<char>(byte));
      continue;
    }
    char32_t cp = 0;
    if (blob::IsLeadByte(byte) && i + 1 < gbk.size()) {
      const auto trail = static_cast<uint8_t>(gbk[i + 1]);
      const auto code = static_cast<uint16_t>(byte << 8 | trail);
      // A pair that is well formed but unassigned is one bad character; a lead byte followed by
      // something that cannot be a trail byte is bad alone, and the next byte stands on its own.
      if (blob::SlotOf(code)) {
        cp = ToUnicode(code);
        ++i;
      }
    }
    AppendUtf8(out, cp != 0 ? cp : kReplacement);
  }
  return out;
}

std::string FromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const auto cp = NextCodePoint(utf8, pos);
    const uint16_t code = cp ? FromUnicode(*cp) : 0;
    if (cp && *cp == 0) {
      out.push_back('\0');
    } else if (code == 0) {
      out.push_back('?');
    } else if (code < 0x100) {
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    }
  }
  return out;
}

}  // namespace tvx::gbk
