// `talvex-tool anim` on files: build and show, their messages and exit codes, and outputs
// left alone when a build fails.
#include <gtest/gtest.h>

#include "tests/tools/tool_test_support.h"
#include "tools/anim_block.h"
#include "tools/anim_command.h"
#include "tools/anim_source.h"

namespace tvx::tool {
namespace {

using test::Bytes;
using test::ReadFile;
using test::RunCommand;
using test::TempDir;
using test::WriteFile;

constexpr std::string_view kSource =
    "frame 20 flame1 keyed  0 0 24 40 300 180\n"
    "frame 21 flame2 keyed 24 0 24 40 300 180\n"
    "slot 0 0: flame1 wait 4 flame2 wait 4 restart\n";

TEST(AnimCommand, BuildsShowsAndBuildsTheSameBytesAgain) {
  TempDir dir;
  WriteFile(dir / "anim.txt", Bytes(kSource));
  const auto built = RunCommand(RunAnim, {"build", dir / "anim.txt", dir / "ANIM.DAT"});
  ASSERT_EQ(built.code, 0) << built.err;
  EXPECT_TRUE(built.err.empty()) << built.err;
  EXPECT_EQ(built.out,
            dir / "anim.txt" + ": 2 frames, 1 slot -> " + dir / "ANIM.DAT" + " (450 bytes)\n");
  const auto block = ReadFile(dir / "ANIM.DAT");
  EXPECT_EQ(block, anim::WriteBlock(anim::ParseSource(kSource, "x").data));

  const auto shown = RunCommand(RunAnim, {"show", dir / "ANIM.DAT"});
  ASSERT_EQ(shown.code, 0) << shown.err;
  EXPECT_EQ(shown.out.rfind("# " + dir / "ANIM.DAT" + " (450 bytes): 2 frames, 1 slot\n", 0), 0u)
      << shown.out;
  EXPECT_NE(shown.out.find("slot 0 0: 20 wait 4 21 wait 4 restart\n"), std::string::npos)
      << shown.out;
  const auto into_file = RunCommand(RunAnim, {"show", dir / "ANIM.DAT", "-o", dir / "back.txt"});
  ASSERT_EQ(into_file.code, 0) << into_file.err;
  EXPECT_TRUE(into_file.out.empty());
  EXPECT_EQ(ReadFile(dir / "back.txt"), Bytes(shown.out));
  ASSERT_EQ(RunCommand(RunAnim, {"build", dir / "back.txt", dir / "AGAIN.DAT"}).code, 0);
  EXPECT_EQ(ReadFile(dir / "AGAIN.DAT"), block);

  // Warnings are printed and counted; the block is still written.
  WriteFile(dir / "warn.txt", Bytes("frame 20 composite 0 0 4 4 0 0\nslot 0 0: 20\n"));
  const auto warned = RunCommand(RunAnim, {"build", dir / "warn.txt", dir / "WARN.DAT"});
  EXPECT_EQ(warned.code, 0);
  EXPECT_NE(warned.out.find("(421 bytes, 2 warnings)"), std::string::npos) << warned.out;
  EXPECT_NE(warned.err.find(dir / "warn.txt" + ":1:10: warning: frame 20:"), std::string::npos)
      << warned.err;
  EXPECT_NE(warned.err.find(dir / "warn.txt" + ":2:1: warning: slot 0 0 has no"), std::string::npos)
      << warned.err;
  EXPECT_EQ(ReadFile(dir / "WARN.DAT").size(), 421u);
}

TEST(AnimCommand, FailuresLeaveTheOutputAloneAndUsageIsChecked) {
  TempDir dir;
  WriteFile(dir / "OLD.DAT", Bytes("old"));
  WriteFile(dir / "bad.txt",
            Bytes("frame 12 copy 0 0 1 1 0 0\nslot 0 0: nope end\nslot 1 1: 30\n"));
  const auto failed = RunCommand(RunAnim, {"build", dir / "bad.txt", dir / "OLD.DAT"});
  EXPECT_EQ(failed.code, 1);
  EXPECT_NE(failed.err.find(dir / "bad.txt" + ":1:7: frame numbers run from 20 to 65534"),
            std::string::npos)
      << failed.err;
  EXPECT_NE(failed.err.find(dir / "bad.txt" + ":2:11: 'nope' is neither"), std::string::npos)
      << failed.err;
  EXPECT_NE(failed.err.find("anim build: 2 errors; " + dir / "OLD.DAT" + " not written\n"),
            std::string::npos)
      << failed.err;
  EXPECT_EQ(failed.err.find("warning"), std::string::npos) << failed.err;
  EXPECT_EQ(ReadFile(dir / "OLD.DAT"), Bytes("old"));

  const auto missing = RunCommand(RunAnim, {"build", dir / "absent.txt", dir / "OUT.DAT"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("absent.txt': No such file or directory"), std::string::npos);
  WriteFile(dir / "ok.txt", Bytes(kSource));
  const auto unwritable = RunCommand(RunAnim, {"build", dir / "ok.txt", dir / "no/such/A.DAT"});
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_NE(unwritable.err.find("no/such/A.DAT': No such file or directory"), std::string::npos);
  EXPECT_EQ(RunCommand(RunAnim, {"show", dir / "absent.DAT"}).code, 1);
  EXPECT_EQ(RunCommand(RunAnim, {"show", dir / "OLD.DAT", "-o", dir / "no/such/x.txt"}).code, 1);

  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"make", "a", "b"},
                                             {"build"},
                                             {"build", "a"},
                                             {"build", "a", "b", "c"},
                                             {"build", "-x", "b"},
                                             {"show"},
                                             {"show", "a", "b"},
                                             {"show", "a", "-o"},
                                             {"show", "--verbose", "a"}}) {
    const auto result = RunCommand(RunAnim, args);
    EXPECT_EQ(result.code, 2) << ::testing::PrintToString(args);
    EXPECT_NE(result.err.find("usage: talvex-tool anim"), std::string::npos) << result.err;
  }
  for (const std::string action : {"build", "show"}) {
    const auto help = RunCommand(RunAnim, {action, "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage: talvex-tool anim " + action, 0), 0u) << help.out;
  }
}

}  // namespace
}  // namespace tvx::tool
