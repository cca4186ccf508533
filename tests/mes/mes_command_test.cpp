// `talvex-tool mes asm` and `mes disasm` on files.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/mes/mes_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/mes_command.h"
#include "tools/tool_main.h"

namespace tvx::tool {
namespace {

using test::Bytes;
using test::ReadFile;
using test::RunCommand;
using test::TempDir;
using test::WriteFile;

TEST(MesCommand, AssemblesAndDisassemblesFiles) {
  TempDir dir;
  WriteFile(dir / "main.tvs", Bytes("start: TEXT \"你好\"\n    JUMP start\n"));
  const auto assembled = RunCommand(RunMes, {"asm", dir / "main.tvs", dir / "MAIN.MES"});
  ASSERT_EQ(assembled.code, 0) << assembled.err;
  EXPECT_NE(assembled.out.find("11 bytes"), std::string::npos) << assembled.out;
  EXPECT_EQ(mes::test::Hex(ReadFile(dir / "MAIN.MES")), "01 C4 E3 BA C3 00 0A 00 00 00 00");

  const auto listed = RunCommand(RunMes, {"disasm", dir / "MAIN.MES"});
  ASSERT_EQ(listed.code, 0) << listed.err;
  EXPECT_NE(listed.out.find("L_0000:\n    TEXT \"你好\"\n    JUMP L_0000\n"), std::string::npos)
      << listed.out;

  const auto written = RunCommand(RunMes, {"disasm", "-o", dir / "again.tvs", dir / "MAIN.MES"});
  ASSERT_EQ(written.code, 0) << written.err;
  EXPECT_TRUE(written.out.empty());
  EXPECT_EQ(ReadFile(dir / "again.tvs"), Bytes(listed.out));
  ASSERT_EQ(RunCommand(RunMes, {"asm", dir / "again.tvs", dir / "AGAIN.MES"}).code, 0);
  EXPECT_EQ(ReadFile(dir / "AGAIN.MES"), ReadFile(dir / "MAIN.MES"));
}

TEST(MesCommand, ErrorsLeaveTheOutputAlone) {
  TempDir dir;
  WriteFile(dir / "OLD.MES", {0x13, 0x00});
  WriteFile(dir / "bad.tvs", Bytes("END\nJUMP nowhere\nFROB\n"));
  const auto result = RunCommand(RunMes, {"asm", dir / "bad.tvs", dir / "OLD.MES"});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find(dir / "bad.tvs" + ":2:6: undefined label 'nowhere'\n"),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find(dir / "bad.tvs" + ":3:1: unknown opcode 'FROB'"), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("2 errors"), std::string::npos) << result.err;
  EXPECT_EQ(ReadFile(dir / "OLD.MES"), (std::vector<uint8_t>{0x13, 0x00}));

  const auto missing = RunCommand(RunMes, {"asm", dir / "absent.tvs", dir / "X.MES"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("absent.tvs"), std::string::npos);
  const auto missing_code = RunCommand(RunMes, {"disasm", dir / "absent.MES"});
  EXPECT_EQ(missing_code.code, 1);
  WriteFile(dir / "ok.tvs", Bytes("END\n"));
  const auto unwritable = RunCommand(RunMes, {"asm", dir / "ok.tvs", dir / "no/such/dir/X.MES"});
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_NE(unwritable.err.find("no/such/dir/X.MES"), std::string::npos);
}

TEST(MesCommand, IncludesAreReadBesideTheIncludingFile) {
  TempDir dir;
  std::filesystem::create_directories(dir / "src/lib");
  WriteFile(dir / "src/main.tvs", Bytes(".include \"lib/names.tvs\"\nSET_REG16 hero, 1\nEND\n"));
  WriteFile(dir / "src/lib/names.tvs", Bytes(".define hero B\n.include \"more.tvs\"\n"));
  WriteFile(dir / "src/lib/more.tvs", Bytes("\n  FROB\n"));
  const auto failed = RunCommand(RunMes, {"asm", dir / "src/main.tvs", dir / "MAIN.MES"});
  EXPECT_EQ(failed.code, 1);
  EXPECT_NE(failed.err.find(dir / "src/lib/more.tvs" + ":2:3: unknown opcode 'FROB'"),
            std::string::npos)
      << failed.err;
  // A folder is no file to include.
  WriteFile(dir / "src/lib/more.tvs", Bytes(".include \"../lib\"\n"));
  const auto folder = RunCommand(RunMes, {"asm", dir / "src/main.tvs", dir / "MAIN.MES"});
  EXPECT_NE(folder.err.find("cannot read the included file"), std::string::npos) << folder.err;
  WriteFile(dir / "src/lib/more.tvs", Bytes("SET_REG16 A, 2\n"));
  const auto assembled = RunCommand(RunMes, {"asm", dir / "src/main.tvs", dir / "MAIN.MES"});
  ASSERT_EQ(assembled.code, 0) << assembled.err;
  WriteFile(dir / "plain.tvs", Bytes("SET_REG16 A, 2\nSET_REG16 B, 1\nEND\n"));
  ASSERT_EQ(RunCommand(RunMes, {"asm", dir / "plain.tvs", dir / "PLAIN.MES"}).code, 0);
  EXPECT_EQ(ReadFile(dir / "MAIN.MES"), ReadFile(dir / "PLAIN.MES"));
}

TEST(MesCommand, HelpAndUsage) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--help"}, {"asm", "--help"}, {"disasm", "-h"}}) {
    const auto result = RunCommand(RunMes, args);
    EXPECT_EQ(result.code, 0) << ::testing::PrintToString(args);
    EXPECT_NE(result.out.find("mes"), std::string::npos);
  }
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"frob"},
                                             {"asm"},
                                             {"asm", "a.tvs"},
                                             {"asm", "a", "b", "c"},
                                             {"disasm"},
                                             {"disasm", "a", "b"},
                                             {"disasm", "a", "-o"},
                                             {"disasm", "--bogus", "a"}}) {
    const auto result = RunCommand(RunMes, args);
    EXPECT_EQ(result.code, 2) << ::testing::PrintToString(args);
    EXPECT_NE(result.err.find("usage:"), std::string::npos) << result.err;
  }
  const auto via_tool = RunCommand(RunTool, {"mes", "--help"});
  EXPECT_EQ(via_tool.code, 0);
}

}  // namespace
}  // namespace tvx::tool
