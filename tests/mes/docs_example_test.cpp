// docs/mes.md stays true: its complete example assembles, and it names every opcode.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "script/opcodes.h"
#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

std::string ReadDoc() {
  std::ifstream file(TALVEX_SOURCE_DIR "/docs/mes.md");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The fenced block between the markers <!-- example:begin --> and <!-- example:end -->.
std::string Example(const std::string& doc) {
  const size_t begin = doc.find("<!-- example:begin -->");
  const size_t end = doc.find("<!-- example:end -->");
  if (begin == std::string::npos || end == std::string::npos || end < begin) return {};
  const std::string block = doc.substr(begin, end - begin);
  const size_t fence = block.find("```");
  const size_t body = block.find('\n', fence);
  const size_t close = block.rfind("```");
  if (fence == std::string::npos || close <= body) return {};
  return block.substr(body + 1, close - body - 1);
}

TEST(DocsExample, AssemblesCleanlyAndRoundTrips) {
  const std::string doc = ReadDoc();
  ASSERT_FALSE(doc.empty()) << "docs/mes.md is missing";
  const std::string example = Example(doc);
  ASSERT_FALSE(example.empty()) << "no example between the markers";
  const AssembleResult result = Assemble(example, "docs/mes.md");
  ASSERT_TRUE(result.ok()) << test::JoinLines(result.errors);
  // What the example promises to show.
  for (const char* part : {"MENU_ITEM", "DEFINE_PROC 32", "DEFINE_PROC 39", "MENU_RUN",
                           "SYSCALL 4, 1, 1", "FLAG[", "SET_REG16", "IF "}) {
    EXPECT_NE(example.find(part), std::string::npos) << part;
  }
  const std::string text = test::DisassembleChecked(result.code);
  EXPECT_EQ(text.find("RAW("), std::string::npos) << text;
  EXPECT_EQ(text.find("DB "), std::string::npos) << text;
}

TEST(DocsExample, EveryOpcodeIsDescribed) {
  const std::string doc = ReadDoc();
  for (const OpcodeInfo& info : kOpcodes) {
    EXPECT_NE(doc.find("`" + std::string(info.name)), std::string::npos) << info.name;
  }
}

}  // namespace
}  // namespace tvx::mes
