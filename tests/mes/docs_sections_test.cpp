// The examples of docs/mes.md that stand after a marker assemble as the text says: a block
// after "assembles" without errors, one after "same bytes" to the bytes of the block before
// it, and one after "fails-with" to exactly the messages of the block after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::Hex;
using test::JoinLines;

struct Example {
  std::string marker;
  std::string text;      // the fenced block after the marker
  std::string expected;  // fails-with: the fenced block after that
  size_t line = 0;       // of the marker in the document
};

// The body of the fenced block that starts at or after `pos`; `pos` moves past it.
std::string NextBlock(const std::string& doc, size_t& pos) {
  const size_t fence = doc.find("```", pos);
  if (fence == std::string::npos) return {};
  const size_t body = doc.find('\n', fence) + 1;
  const size_t close = doc.find("\n```", body - 1);
  if (close == std::string::npos) return {};
  pos = close + 4;
  return doc.substr(body, close + 1 - body);
}

std::vector<Example> Examples(const std::string& doc) {
  std::vector<Example> examples;
  for (const std::string marker : {"assembles", "same bytes", "fails-with"}) {
    const std::string tag = "<!-- " + marker + " -->";
    for (size_t at = doc.find(tag); at != std::string::npos; at = doc.find(tag, at + 1)) {
      Example example;
      example.marker = marker;
      example.line = static_cast<size_t>(std::count(doc.begin(), doc.begin() + at, '\n')) + 1;
      size_t pos = at;
      example.text = NextBlock(doc, pos);
      if (marker == "fails-with") example.expected = NextBlock(doc, pos);
      examples.push_back(example);
    }
  }
  std::sort(examples.begin(), examples.end(),
            [](const Example& a, const Example& b) { return a.line < b.line; });
  return examples;
}

TEST(DocsSections, ExamplesAssembleAsTheTextSays) {
  std::ifstream file(TALVEX_SOURCE_DIR "/docs/mes.md");
  std::stringstream read;
  read << file.rdbuf();
  const std::string doc = read.str();
  const std::vector<Example> examples = Examples(doc);
  int counts[3] = {};
  std::vector<uint8_t> previous;
  for (const Example& example : examples) {
    SCOPED_TRACE("docs/mes.md line " + std::to_string(example.line));
    ASSERT_FALSE(example.text.empty());
    // As a source in docs/, so that the library is at lib/.
    const AssembleResult result =
        example.marker == "fails-with"
            ? Assemble(example.text, "main.tvs")
            : Assemble(example.text, TALVEX_SOURCE_DIR "/docs/example.tvs", DiskIncludeReader());
    if (example.marker == "fails-with") {
      ++counts[2];
      EXPECT_EQ(JoinLines(result.errors), example.expected);
      continue;
    }
    ASSERT_TRUE(result.ok()) << JoinLines(result.errors) << example.text;
    if (example.marker == "same bytes") {
      ++counts[1];
      EXPECT_EQ(Hex(result.code), Hex(previous)) << example.text;
    } else {
      ++counts[0];
    }
    // Whatever the source used, the disassembly gives the same bytes back.
    test::DisassembleChecked(result.code);
    previous = result.code;
  }
  // The section shows .define, macros, blocks and the library, three of them beside their
  // plain form, and the hints.
  EXPECT_EQ(counts[0], 4);
  EXPECT_EQ(counts[1], 3);
  EXPECT_EQ(counts[2], 1);
}

}  // namespace
}  // namespace tvx::mes
