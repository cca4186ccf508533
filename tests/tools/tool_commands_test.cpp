#include <gtest/gtest.h>

#include "archive/lzss_encoder.h"
#include "tests/tools/tool_test_support.h"
#include "tools/lzss_command.h"
#include "tools/lzss_expand.h"
#include "tools/tool_main.h"

namespace tvx::tool {
namespace {

using test::Bytes;
using test::ReadFile;
using test::RunCommand;
using test::SampleText;
using test::TempDir;
using test::WriteFile;

TEST(ToolMain, DispatchesByTable) {
  const auto help = RunCommand(RunTool, {"--help"});
  EXPECT_EQ(help.code, 0);
  for (const Command& command : Commands()) {
    EXPECT_NE(help.out.find(command.name), std::string::npos) << command.name;
    const auto command_help = RunCommand(RunTool, {std::string(command.name), "--help"});
    EXPECT_EQ(command_help.code, 0) << command.name;
    EXPECT_FALSE(command_help.out.empty()) << command.name;
  }
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{}, {"nonsense"}, {"arc"}, {"lzss"}}) {
    const auto result = RunCommand(RunTool, args);
    EXPECT_EQ(result.code, 2) << ::testing::PrintToString(args);
    EXPECT_NE(result.err.find("usage:"), std::string::npos) << result.err;
  }
}

TEST(LzssCommand, PackUnpackRoundTrip) {
  TempDir dir;
  const auto text = SampleText(40000);
  WriteFile(dir / "in.txt", text);
  const auto packed = RunCommand(RunLzss, {"pack", dir / "in.txt", dir / "in.lz"});
  ASSERT_EQ(packed.code, 0) << packed.err;
  EXPECT_NE(packed.out.find("40000 -> "), std::string::npos) << packed.out;
  EXPECT_NE(packed.out.find("%"), std::string::npos) << packed.out;
  EXPECT_EQ(ReadFile(dir / "in.lz"), LzssEncoder().Encode(text));
  const auto unpacked = RunCommand(RunLzss, {"unpack", dir / "in.lz", dir / "out.txt"});
  ASSERT_EQ(unpacked.code, 0) << unpacked.err;
  EXPECT_EQ(ReadFile(dir / "out.txt"), text);

  WriteFile(dir / "empty", {});
  ASSERT_EQ(RunCommand(RunLzss, {"pack", dir / "empty", dir / "empty.lz"}).code, 0);
  EXPECT_TRUE(ReadFile(dir / "empty.lz").empty());
  ASSERT_EQ(RunCommand(RunLzss, {"unpack", dir / "empty.lz", dir / "empty.out"}).code, 0);
  EXPECT_TRUE(ReadFile(dir / "empty.out").empty());

  const auto missing = RunCommand(RunLzss, {"unpack", dir / "absent", dir / "x"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("absent"), std::string::npos);
  const auto unwritable = RunCommand(RunLzss, {"pack", dir / "in.txt", dir / "no/such/folder/x"});
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_NE(unwritable.err.find("no/such/folder/x"), std::string::npos);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"pack"}, {"pack", "a"}, {"squash", "a", "b"}, {"unpack", "a", "b", "c"}}) {
    EXPECT_EQ(RunCommand(RunLzss, args).code, 2) << ::testing::PrintToString(args);
  }
}

TEST(LzssExpand, GrowsToAnyExpansionAndStopsAtTheLimit) {
  // The most a stream can expand: every item an 18-byte reference (flag bytes all zero).
  std::vector<uint8_t> densest;
  for (int group = 0; group < 1000; ++group) {
    densest.push_back(0x00);
    for (int item = 0; item < 8; ++item) densest.insert(densest.end(), {0x00, 0x0F});
  }
  const auto expanded = ExpandLzss(densest);
  ASSERT_TRUE(expanded);
  EXPECT_EQ(expanded->size(), 144u * 1000);

  const std::vector<uint8_t> run(500000, 'r');
  const auto packed = LzssEncoder().Encode(run);
  EXPECT_EQ(ExpandLzss(packed), run);
  EXPECT_EQ(ExpandLzss(packed, run.size()), run);
  EXPECT_EQ(ExpandLzss(packed, run.size() - 1), std::nullopt);
  EXPECT_EQ(ExpandLzss({}), std::vector<uint8_t>{});
}

}  // namespace
}  // namespace tvx::tool
