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

}  // namespace
}  // namespace tvx::testing
