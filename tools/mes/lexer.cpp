#include "tools/mes/lexer.h"

#include <algorithm>
#include <array>
#include <string>

#include "tools/mes/string_literal.h"
#include "tools/mes/utf8.h"

namespace tvx::mes {
namespace {

constexpr uint64_t kMaxNumber = 0xFFFFFFFF;

// Longest first, so that "<=" is not read as "<" then "=".
constexpr std::array<std::string_view, 23> kSymbols = {"&&", "||", "<=", ">=", "==", "!=", ",", ":",
                                                       "(",  ")",  "[",  "]",  "+",  "-",  "*", "/",
                                                       "%",  "<",  ">",  "&",  "|",  "^",  "!"};

bool IsIdentifierStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsIdentifierChar(char c) {
  return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}

int DigitValue(char c, int base) {
  int value = 99;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Reads a number at `pos`; returns the offset after it.
size_t ScanNumber(std::string_view line, size_t pos, Token& token, LineTokens& result) {
  const size_t start = pos;
  int base = 10;
  if (line[pos] == '0' && pos + 1 < line.size() && (line[pos + 1] == 'x' || line[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  const size_t digits = pos;
  uint64_t value = 0;
  bool too_large = false;
  for (; pos < line.size() && DigitValue(line[pos], base) >= 0; ++pos) {
    value =
        value * static_cast<uint64_t>(base) + static_cast<uint64_t>(DigitValue(line[pos], base));
    if (value > kMaxNumber) {
      too_large = true;
      value = kMaxNumber;
    }
  }
  size_t end = pos;
  while (end < line.size() && IsIdentifierChar(line[end])) ++end;
  token.text = line.substr(start, end - start);
  if (pos == digits || end != pos) {
    result.problems.push_back({start, "malformed number '" + std::string(token.text) + "'"});
  } else if (too_large) {
    result.problems.push_back(
        {start, "number " + std::string(token.text) + " is too large (at most 4294967295)"});
  }
  token.number = value;
  return end;
}

// What the writer most likely meant by a character the language has no use for.
std::string HintFor(std::string_view character) {
  if (character == "=") {
    return "; hint: comparisons are written '==' (IF A == 1, target); a register is set with "
           "SET_REG16 A, 1";
  }
  if (character == "'") return "; hint: strings are written in double quotes";
  if (character == "#") return "; hint: comments start with ';'";
  if (static_cast<unsigned char>(character.front()) >= 0x80) {
    return "; hint: text goes in double quotes (TEXT \"...\", or a line that is only \"...\")";
  }
  return {};
}

}  // namespace

LineTokens Tokenize(std::string_view line) {
  LineTokens result;
  size_t pos = 0;
  while (pos < line.size()) {
    const char c = line[pos];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      ++pos;
      continue;
    }
    if (c == ';') break;
    Token token;
    token.offset = pos;
    const bool directive = c == '.' && pos + 1 < line.size() && IsIdentifierStart(line[pos + 1]);
    if (IsIdentifierStart(c) || directive) {
      size_t end = pos + 1;
      while (end < line.size() && IsIdentifierChar(line[end])) ++end;
      token.kind = directive ? TokenKind::Directive : TokenKind::Identifier;
      token.text = line.substr(pos, end - pos);
      pos = end;
    } else if (c >= '0' && c <= '9') {
      token.kind = TokenKind::Number;
      pos = ScanNumber(line, pos, token, result);
    } else if (c == '"') {
      StringScan scan = ScanStringLiteral(line, pos);
      token.kind = TokenKind::String;
      token.text = line.substr(pos, scan.end - pos);
      token.bytes = std::move(scan.bytes);
      result.problems.insert(result.problems.end(), scan.problems.begin(), scan.problems.end());
      pos = scan.end;
    } else {
      const auto symbol = std::find_if(kSymbols.begin(), kSymbols.end(), [&](std::string_view s) {
        return line.substr(pos, s.size()) == s;
      });
      if (symbol == kSymbols.end()) {
        const auto cp = DecodeUtf8(line, pos);
        const size_t length = cp ? cp->length : 1;
        result.problems.push_back({pos, cp ? "unexpected character '" +
                                                 std::string(line.substr(pos, length)) + "'" +
                                                 HintFor(line.substr(pos, length))
                                           : std::string("the source is not valid UTF-8 here")});
        pos += length;
        continue;
      }
      token.kind = TokenKind::Symbol;
      token.text = *symbol;
      pos += symbol->size();
    }
    result.tokens.push_back(std::move(token));
  }
  // "Expected ..." at the end of a line points just after the last thing written.
  size_t end_offset = std::min(pos, line.size());
  while (end_offset > 0 && (line[end_offset - 1] == ' ' || line[end_offset - 1] == '\t')) {
    --end_offset;
  }
  Token end;
  end.offset = end_offset;
  result.tokens.push_back(end);
  return result;
}

}  // namespace tvx::mes
