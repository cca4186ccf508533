#include "tools/mes/string_literal.h"

#include <cstdio>

#include "resources/gbk.h"
#include "script/opcodes.h"
#include "tools/mes/utf8.h"

namespace tvx::mes {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendHexEscape(std::string& out, uint8_t byte) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", byte);
  out += buffer;
}

// Handles the escape whose backslash is at `pos`; returns the offset after it.
size_t ScanEscape(std::string_view line, size_t pos, StringScan& scan) {
  if (pos + 1 >= line.size()) {
    scan.problems.push_back({pos, "a backslash ends the line inside a string"});
    return pos + 1;
  }
  switch (line[pos + 1]) {
    case '"':
      scan.bytes.push_back('"');
      return pos + 2;
    case '\\':
      scan.bytes.push_back('\\');
      return pos + 2;
    case 'n':
      scan.bytes.push_back('\n');
      return pos + 2;
    case 'x': {
      const int high = pos + 2 < line.size() ? HexValue(line[pos + 2]) : -1;
      const int low = pos + 3 < line.size() ? HexValue(line[pos + 3]) : -1;
      if (high < 0 || low < 0) {
        scan.problems.push_back({pos, "\\x needs two hexadecimal digits"});
        return pos + 2;
      }
      scan.bytes.push_back(static_cast<uint8_t>(high << 4 | low));
      return pos + 4;
    }
    default: {
      const auto cp = DecodeUtf8(line, pos + 1);
      const size_t length = cp ? cp->length : 1;
      scan.problems.push_back({pos, "unknown escape '\\" +
                                        std::string(line.substr(pos + 1, length)) +
                                        "' (use \\\" \\\\ \\n or \\xNN)"});
      return pos + 1 + length;
    }
  }
}

}  // namespace

StringScan ScanStringLiteral(std::string_view line, size_t pos) {
  StringScan scan;
  const size_t open = pos++;
  while (true) {
    if (pos >= line.size()) {
      scan.problems.push_back({open, "string without its closing quote"});
      scan.end = line.size();
      return scan;
    }
    const char c = line[pos];
    if (c == '"') {
      scan.end = pos + 1;
      return scan;
    }
    if (c == '\\') {
      pos = ScanEscape(line, pos, scan);
      continue;
    }
    const auto cp = DecodeUtf8(line, pos);
    if (!cp) {
      scan.problems.push_back({pos, "the source is not valid UTF-8 here"});
      ++pos;
      continue;
    }
    if (cp->value < 0x80) {
      scan.bytes.push_back(static_cast<uint8_t>(cp->value));
    } else if (const uint16_t code = gbk::FromUnicode(cp->value); code == 0) {
      scan.problems.push_back({pos, "character '" + std::string(line.substr(pos, cp->length)) +
                                        "' (" + CodePointName(cp->value) +
                                        ") has no GBK code; write its bytes with \\xNN"});
    } else if (code < 0x100) {
      scan.bytes.push_back(static_cast<uint8_t>(code));
    } else {
      scan.bytes.push_back(static_cast<uint8_t>(code >> 8));
      scan.bytes.push_back(static_cast<uint8_t>(code & 0xFF));
    }
    pos += cp->length;
  }
}

std::string FormatStringLiteral(std::span<const uint8_t> bytes) {
  std::string out = "\"";
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t byte = bytes[i];
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += static_cast<char>(byte);
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += static_cast<char>(byte);
    } else if (IsTextLead(byte) && i + 1 < bytes.size()) {
      // A character only where the assembler's conversion gives these two bytes back.
      const auto code = static_cast<uint16_t>(byte << 8 | bytes[i + 1]);
      const char32_t cp = gbk::ToUnicode(code);
      // Private-use characters (GBK's user-defined areas) would only show as boxes.
      const bool private_use = cp >= 0xE000 && cp <= 0xF8FF;
      if (cp >= 0x80 && !private_use && gbk::FromUnicode(cp) == code) {
        const char pair[2] = {static_cast<char>(byte), static_cast<char>(bytes[i + 1])};
        out += gbk::ToUtf8(std::string_view(pair, 2));
        ++i;
      } else {
        AppendHexEscape(out, byte);
      }
    } else {
      AppendHexEscape(out, byte);
    }
  }
  out += '"';
  return out;
}

}  // namespace tvx::mes
