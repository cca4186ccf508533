// Helpers for the MES assembler and disassembler tests: hex dumps, assembling that must
// succeed, and the disassemble-then-assemble check.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/mes/assembler.h"
#include "tools/mes/disassembler.h"

namespace tvx::mes::test {

inline std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  for (const uint8_t byte : bytes) {
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02X", byte);
    if (!out.empty()) out += ' ';
    out += buffer;
  }
  return out;
}

// "05 03 E1 FF" to bytes.
inline std::vector<uint8_t> Unhex(std::string_view text) {
  std::vector<uint8_t> bytes;
  std::istringstream in{std::string(text)};
  std::string pair;
  while (in >> pair) bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
  return bytes;
}

inline std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

// The code of a source that must assemble; an empty vector (and a failure) otherwise.
inline std::vector<uint8_t> AssembleOk(std::string_view source) {
  const AssembleResult result = Assemble(source, "test.tvs");
  EXPECT_TRUE(result.ok()) << JoinLines(result.errors) << "in:\n" << source;
  return result.code;
}

// Disassembles `code`, checks that the text assembles back to the same bytes, returns it.
inline std::string DisassembleChecked(const std::vector<uint8_t>& code) {
  const std::string text = Disassemble(code);
  const AssembleResult again = Assemble(text, "disassembly.tvs");
  EXPECT_TRUE(again.ok()) << JoinLines(again.errors) << "in:\n" << text;
  EXPECT_EQ(Hex(again.code), Hex(code)) << text;
  return text;
}

// The lines of a disassembly without the header comment, blank lines and indentation.
inline std::vector<std::string> BodyLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos || line[start] == ';') continue;
    lines.push_back(line.substr(start));
  }
  return lines;
}

// The errors of a source that must not assemble, one per line; no code may come out.
inline std::string ErrorsOf(std::string_view source) {
  const AssembleResult result = Assemble(source, "bad.tvs");
  EXPECT_TRUE(result.code.empty()) << source;
  return JoinLines(result.errors);
}

}  // namespace tvx::mes::test
