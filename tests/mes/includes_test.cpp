// .include: files read relative to the one that includes them, with errors that name the
// file and line they are in, and the chain of includes where that matters.
#include <gtest/gtest.h>

#include <map>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::Hex;
using test::JoinLines;

// Files kept in memory, by the path the assembler asks for.
struct Files {
  std::map<std::string, std::string> texts;
  std::vector<std::string> asked;
  IncludeReader Reader() {
    return [this](const std::string& path) -> std::optional<std::string> {
      asked.push_back(path);
      const auto found = texts.find(path);
      if (found == texts.end()) return std::nullopt;
      return found->second;
    };
  }
};

TEST(Includes, IncludedTextAssemblesInPlace) {
  Files files;
  files.texts["game/lib/speak.tvs"] = ".include \"names.tvs\"\n.define voice 7\n";
  files.texts["game/lib/names.tvs"] = "\xEF\xBB\xBF.define hero A\r\n";
  const AssembleResult result =
      Assemble("TEXT \"a\"\n.include \"lib/speak.tvs\"\nSET_REG16 hero, voice\n", "game/main.tvs",
               files.Reader());
  ASSERT_TRUE(result.ok()) << JoinLines(result.errors);
  const AssembleResult plain = Assemble("TEXT \"a\"\nSET_REG16 A, 7\n", "x.tvs");
  EXPECT_EQ(Hex(result.code), Hex(plain.code));
  EXPECT_EQ(files.asked, (std::vector<std::string>{"game/lib/speak.tvs", "game/lib/names.tvs"}));
}

TEST(Includes, ErrorsNameTheFileAndTheChain) {
  Files files;
  files.texts["a.tvs"] = "END\n.include \"b.tvs\"\n";
  files.texts["b.tvs"] = "\n  FROB 1\n.include \"a.tvs\"\n.include \"sub/missing.tvs\"\n";
  const AssembleResult result =
      Assemble(".include \"a.tvs\"\nJUMP 1 +\n", "main.tvs", files.Reader());
  EXPECT_EQ(JoinLines(result.errors),
            "b.tvs:2:3: unknown opcode 'FROB'\n"
            "b.tvs:3:10: include cycle: main.tvs -> a.tvs -> b.tvs -> a.tvs\n"
            "b.tvs:4:10: cannot read the included file 'sub/missing.tvs' (main.tvs -> a.tvs -> "
            "b.tvs -> sub/missing.tvs)\n"
            "main.tvs:2:9: expected an expression, found the end of the line\n");
}

TEST(Includes, WithoutAReaderOrAQuotedNameTheyAreErrors) {
  EXPECT_EQ(JoinLines(Assemble(".include \"x.tvs\"\n", "m.tvs").errors),
            "m.tvs:1:10: cannot read the included file 'x.tvs' (m.tvs -> x.tvs)\n");
  EXPECT_EQ(JoinLines(Assemble(".include x.tvs\n", "m.tvs").errors),
            "m.tvs:1:10: expected a file name in double quotes after .include\n");
}

TEST(Includes, AFileIncludingItselfStops) {
  Files files;
  files.texts["self.tvs"] = ".include \"self.tvs\"\n";
  const AssembleResult result = Assemble(".include \"self.tvs\"\n", "m.tvs", files.Reader());
  EXPECT_EQ(JoinLines(result.errors),
            "self.tvs:1:10: include cycle: m.tvs -> self.tvs -> self.tvs\n");
  // Distinct files, each including the next: the depth is bounded.
  Files chain;
  for (int i = 0; i < 100; ++i) {
    chain.texts["f" + std::to_string(i) + ".tvs"] =
        ".include \"f" + std::to_string(i + 1) + ".tvs\"\n";
  }
  const AssembleResult deep = Assemble(".include \"f0.tvs\"\n", "m.tvs", chain.Reader());
  ASSERT_EQ(deep.errors.size(), 1u);
  EXPECT_NE(deep.errors[0].find("includes nest more than 32 deep"), std::string::npos);
}

}  // namespace
}  // namespace tvx::mes
