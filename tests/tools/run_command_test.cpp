// What `talvex-tool run` tells of a headless run: the boxes on standard error as they are
// shown, and an exit status that says how the run ended.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/script/script_fixture.h"
#include "tests/tools/tool_test_support.h"
#include "tools/run_command.h"

namespace tvx::testing {
namespace {

namespace fs = std::filesystem;
using tool::test::RunCommand;

class RunCommandTest : public ScriptTest {
 protected:
  tool::test::RunResult RunGame(std::vector<std::string> args) {
    args.insert(args.begin(), dir().string());
    return RunCommand(tool::RunRun, std::move(args));
  }
};

TEST_F(RunCommandTest, EveryBoxIsWrittenToStandardErrorAsItIsShown) {
  Script("MAIN.MES", R"(
    SYSCALL 8, "NONE.G16"       ; a picture that is not there: a box, and the game goes on
    SET_REG16 A, 1
    SYSCALL 8, "GONE.G16"
    END
  )");
  const auto result = RunGame({"--headless"});
  EXPECT_EQ(result.code, 0) << result.err;
  const std::string first = "talvex-tool run: box \"文件打开错误\": NONE.G16\n";
  const std::string second = "talvex-tool run: box \"文件打开错误\": GONE.G16\n";
  EXPECT_EQ(result.err, first + second);
}

TEST_F(RunCommandTest, TheExitStatusSaysHowTheRunEnded) {
  struct Case {
    const char* what;
    const char* settings;
    const char* script;  // MAIN.MES; null for none
    std::vector<std::string> args;
    int status;
    const char* err;  // a line that standard error must hold
  };
  const std::vector<Case> cases = {
      {"ended by itself", "", "SET_REG16 A, 1\nEND\n", {}, 0, nullptr},
      {"went on after a box",
       "",
       "SYSCALL 8, \"NONE.G16\"\nEND\n",
       {},
       0,
       "box \"文件打开错误\": NONE.G16"},
      {"time ran out", "", "wait:\nSYSCALL 11\nJUMP wait\n", {"--until-ms", "300"}, 124, nullptr},
      {"a limit past 2^31 ms is far off, not already passed",
       "",
       "SET_REG16 N, 0\nWHILE N < 20\nSYSCALL 11, 4\nSET_REG16 N, N + 1\nENDWHILE\nEND\n",
       {"--until-ms", "3000000000"},
       0,
       nullptr},
      {"no MAIN.MES", "", nullptr, {}, 1, "the start script MAIN.MES could not be loaded"},
      {"no start script of another name",
       "[Config]\nStartMES=FIRST.MES\n",
       "END\n",
       {},
       1,
       "the start script FIRST.MES could not be loaded"},
      {"usage error", "", "END\n", {"--until-ms", "soon"}, 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::error_code ec;
    fs::remove(dir() / "MAIN.MES", ec);
    WriteSettings(c.settings);
    if (c.script) Script("MAIN.MES", c.script);
    std::vector<std::string> args = {"--headless"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto result = RunGame(args);
    EXPECT_EQ(result.code, c.status) << result.err;
    if (c.err) {
      EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
  }
}

TEST_F(RunCommandTest, TheDumpAtTheTimeLimitShowsTheGameAsItStoodThen) {
  // The wait for the player is still on at 300 ms; nothing after it may run.
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  Script("MAIN.MES", R"(
    SET_REG16 A, 1
    SYSCALL 11
    SET_REG16 A, 2
    SYSCALL 8, "NEXT.G16"
    END
  )");
  const fs::path dump = dir() / "dump";
  const auto result =
      RunGame({"--headless", "--until-ms", "300", "--dump", dump.string(), "--dump-at", "300"});
  EXPECT_EQ(result.code, 124) << result.err;
  EXPECT_EQ(result.err, "") << "no further command ran: the next picture was never looked for";
  const auto vars = tool::test::ReadFile((dump / "vars.bin").string());
  ASSERT_EQ(vars.size(), 4096u);
  EXPECT_EQ(vars[VariableArea::kRegisters16Offset], 1) << "register A as the wait left it";
  EXPECT_EQ(vars, tool::test::ReadFile((dump / "300" / "vars.bin").string()));
  for (const char* name : {"files.txt", "boxes.txt", "cursor.txt", "menus.txt", "nowfile.txt",
                           "sounds.txt", "plane0.png", "plane3.png", "screen.png"})
    EXPECT_EQ(tool::test::ReadFile((dump / name).string()),
              tool::test::ReadFile((dump / "300" / name).string()))
        << name;
}

TEST_F(RunCommandTest, EveryBadInputLineIsNamedWithTheFile) {
  Script("MAIN.MES", "END\n");
  const std::string input = (dir() / "input.txt").string();
  tool::test::WriteFile(input, tool::test::Bytes("10 key down Enter\n20 fly\n30 key down ??\n"));
  const auto result = RunGame({"--headless", "--input", input});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err, input + ": line 2: unknown event 'fly'\n" + input +
                            ": line 3: unknown key name '?\?'\n");
}

TEST_F(RunCommandTest, AFolderThatCannotBeEnteredIsNamedWithTheSystemsReason) {
  Script("MAIN.MES", "END\n");
  // A path through a file.
  const std::string through_file = (dir() / "MAIN.MES" / "sub").string();
  auto result = RunCommand(tool::RunRun, {through_file, "--headless"});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err,
            "talvex-tool run: no game folder '" + through_file + "': Not a directory\n");

  // The folder the run starts from was removed: a relative path is simply not found, and the
  // game still runs from its absolute path.
  const fs::path gone = dir() / "gone";
  fs::create_directories(gone);
  fs::current_path(gone);
  fs::remove(gone);
  result = RunCommand(tool::RunRun, {"game", "--headless"});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err, "talvex-tool run: no game folder 'game': No such file or directory\n");
  result = RunCommand(tool::RunRun, {dir().string(), "--headless"});
  EXPECT_EQ(result.code, 0) << result.err;
  fs::current_path(dir());

  // A folder without the right to enter it (root may enter it all the same).
  const fs::path locked = dir() / "locked";
  fs::create_directories(locked);
  fs::permissions(locked, fs::perms::none);
  std::error_code ec;
  fs::current_path(locked, ec);
  fs::current_path(dir());
  if (!ec) {
    fs::permissions(locked, fs::perms::owner_all);
    GTEST_SKIP() << "this user may enter a folder without permissions";
  }
  result = RunCommand(tool::RunRun, {locked.string(), "--headless"});
  fs::permissions(locked, fs::perms::owner_all);
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err, "talvex-tool run: cannot enter the game folder '" + locked.string() +
                            "': Permission denied\n");
}

TEST_F(RunCommandTest, TheRealTimeLimitEndsAGameThatWouldRunOn) {
  Script("MAIN.MES", "wait:\nSYSCALL 11\nJUMP wait\n");  // waits for a player who never comes
  const auto result = RunGame({"--headless", "--timeout-s", "1"});
  EXPECT_EQ(result.code, 124) << result.err;
  EXPECT_EQ(RunGame({"--headless", "--timeout-s", "soon"}).code, 2);
}

TEST_F(RunCommandTest, OnlyTheFirstThousandBoxesAreKeptAndTheRestAreCounted) {
  Script("MAIN.MES", R"(
    SET_REG16 N, 0
    WHILE N < 1500
      SYSCALL 8, "NONE.G16"
      SET_REG16 N, N + 1
    ENDWHILE
    END
  )");
  const fs::path dump = dir() / "dump";
  const auto result = RunGame({"--headless", "--dump", dump.string()});
  EXPECT_EQ(result.code, 0);
  std::string err, boxes;
  for (int i = 0; i < 1000; ++i) {
    err += "talvex-tool run: box \"文件打开错误\": NONE.G16\n";
    boxes += "文件打开错误\tNONE.G16\n";
  }
  EXPECT_EQ(result.err, err + "talvex-tool run: 500 more boxes were not kept\n");
  const auto kept = tool::test::ReadFile((dump / "boxes.txt").string());
  EXPECT_EQ(std::string(kept.begin(), kept.end()), boxes + "500 more boxes were not kept\n");
}

TEST(RunExitStatus, FailuresToStartWinOverTheTimeLimit) {
  using Ending = GameSystem::Ending;
  const struct {
    Ending ending;
    bool time_ran_out;
    int status;
  } cases[] = {
      {Ending::kGameEnded, false, 0},
      {Ending::kGameEnded, true, 124},
      {Ending::kHalted, true, 124},
      {Ending::kStartUpFailed, false, 1},
      {Ending::kStartScriptMissing, false, 1},
      {Ending::kStartScriptMissing, true, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(tool::RunExitStatus(c.ending, c.time_ran_out), c.status)
        << static_cast<int>(c.ending) << " " << c.time_ran_out;
}

}  // namespace
}  // namespace tvx::testing
