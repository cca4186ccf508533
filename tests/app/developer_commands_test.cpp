// The debug menu's DUMP and COMMAND, used as a developer uses them: a headless run of
// `talvex-tool run` in debug mode, with the entries chosen, lines typed and keys pressed by
// its event script, and the dumps and the window's picture looked at afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "resources/byte_order.h"
#include "tests/graphics/png_test_support.h"
#include "tests/script/script_fixture.h"
#include "tests/tools/tool_test_support.h"
#include "tools/png_io.h"
#include "tools/run_command.h"
#include "ui/command_prompt.h"

namespace tvx::testing {
namespace {

namespace fs = std::filesystem;
using platform::Key;
using platform::Msg;
using tool::Picture555;

// A script that waits 1.5 s (the developer's moment), then uses register A.
constexpr std::string_view kWaitThenUseA = R"(
    SET_REG16 A, 1
    TEXT "等一下"
    SYSCALL 11, 400
    SET_REG16 B, A + 10
    END
)";

std::string Tap(int ms, const char* key) {
  return std::to_string(ms) + " key down " + key + "\n" + std::to_string(ms + 10) + " key up " +
         key + "\n";
}

std::vector<uint8_t> Bytes(const fs::path& path) {
  return tool::test::ReadFile(path.string());
}

uint16_t Register16(const std::vector<uint8_t>& vars, char name) {
  const size_t at = VariableArea::kRegisters16Offset + 2 * size_t(name - 'A');
  return at + 2 <= vars.size() ? bytes::LoadLe16(vars, at) : 0xDEAD;
}

Picture555 Png(const fs::path& path) {
  std::string error;
  auto picture = tool::ReadPngFile(path.string(), error);
  EXPECT_TRUE(picture) << error;
  return picture.value_or(Picture555{});
}

Picture555 Crop(const Picture555& picture, const platform::Rect& r) {
  Picture555 part{uint32_t(r.Width()), uint32_t(r.Height()), {}};
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x)
      part.pixels.push_back(picture.width > uint32_t(x) && picture.height > uint32_t(y)
                                ? picture.At(uint32_t(x), uint32_t(y))
                                : 0);
  return part;
}

class DeveloperCommandsTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    WriteSettings("[Config]\nbDEBUG=1\n");
  }
  // Runs the game folder headless with these events; the dumps go into dir()/out.
  tool::test::RunResult RunGame(const std::string& events, const std::string& dump_at = {}) {
    std::ofstream(dir() / "events.txt") << events;
    std::vector<std::string> args = {dir().string(), "--headless",
                                     "--input",      (dir() / "events.txt").string(),
                                     "--dump",       out().string()};
    if (!dump_at.empty()) args.insert(args.end(), {"--dump-at", dump_at});
    return tool::test::RunCommand(tool::RunRun, std::move(args));
  }
  fs::path out() const { return dir() / "out"; }
  std::vector<uint8_t> FinalVars() const { return Bytes(out() / "vars.bin"); }
  std::string FinalBoxes() const {
    std::ifstream file(out() / "boxes.txt");
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
};

TEST_F(DeveloperCommandsTest, DumpWritesWhatTheRunDumpWritesIntoAFolderOfItsOwn) {
  Script("MAIN.MES", R"(
    SET_REG16 A, 7
    SET_FLAGS 100, 1, 2, 3
    TEXT "今天下雨"
    SYSCALL 11, 800
    SET_REG16 A, 8
    TEXT "明天晴"
    SYSCALL 11, 400
    END
  )");
  // An earlier dump stays as it is.
  fs::create_directory(dir() / "DUMP-0001");
  std::ofstream(dir() / "DUMP-0001" / "keep.txt") << "mine";
  const auto result = RunGame("1000 command 40013\n4000 command 40013\n", "1000");
  ASSERT_EQ(result.code, 0) << result.err;

  const fs::path first = dir() / "DUMP-0002", second = dir() / "DUMP-0003";
  ASSERT_TRUE(fs::is_directory(first));
  ASSERT_TRUE(fs::is_directory(second));
  EXPECT_FALSE(fs::exists(dir() / "DUMP-0004"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir() / "DUMP-0001"), fs::directory_iterator()),
            1);
  // The same moment, the same state: the variables, every plane and the window.
  const fs::path same = out() / "1000";
  ASSERT_EQ(Bytes(first / "vars.bin").size(), 4096u);
  EXPECT_EQ(Bytes(first / "vars.bin"), Bytes(same / "vars.bin"));
  EXPECT_EQ(Register16(Bytes(first / "vars.bin"), 'A'), 7);
  EXPECT_EQ(Register16(Bytes(second / "vars.bin"), 'A'), 8);
  int planes = 0;
  for (const auto& entry : fs::directory_iterator(same)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("plane") || name == "screen.png") {
      ++planes;
      EXPECT_TRUE(tool::test::SamePicture(Png(first / name), Png(entry.path()))) << name;
    }
  }
  EXPECT_EQ(planes, 9);  // planes 0, 1, 3-8 and the window
  for (const char* name : {"boxes.txt", "files.txt", "menus.txt", "cursor.txt", "sounds.txt"})
    EXPECT_TRUE(fs::exists(first / name)) << name;
  // Each dump says where it went; the first box is not in its own dump.
  const std::string boxes = FinalBoxes();
  EXPECT_NE(boxes.find("DUMP\tThe game was dumped into\n" + first.string() + "\n"),
            std::string::npos)
      << boxes;
  EXPECT_NE(boxes.find(second.string()), std::string::npos) << boxes;
  EXPECT_EQ(tool::test::ReadFile((first / "boxes.txt").string()).size(), 0u);
}

TEST_F(DeveloperCommandsTest, ATypedLineRunsWhereTheScriptStands) {
  Script("MAIN.MES", kWaitThenUseA);
  const auto result = RunGame(
      "100 command 40024\n200 type SET_REG16 A, 41  ; the answer\n" + Tap(300, "Enter"), "250");
  ASSERT_EQ(result.code, 0) << result.err;
  const auto vars = FinalVars();
  EXPECT_EQ(Register16(vars, 'A'), 41);
  EXPECT_EQ(Register16(vars, 'B'), 51) << "the script went on with what the line set";
  EXPECT_EQ(FinalBoxes(), "");
  // While it was open the script stood still: B not yet set.
  EXPECT_EQ(Register16(Bytes(out() / "250" / "vars.bin"), 'B'), 0);
}

TEST_F(DeveloperCommandsTest, AnAssemblyErrorKeepsThePromptAndEscapeRunsNothing) {
  Script("MAIN.MES", kWaitThenUseA);
  std::string events = "100 command 40024\n200 type SET_REG61 A, 41\n" + Tap(300, "Enter") +
                       Tap(500, "Escape") + "700 command 40024\n800 type SET_REG16 A, 99\n" +
                       Tap(900, "Escape");
  const auto result = RunGame(events, "90,400,600");
  ASSERT_EQ(result.code, 0) << result.err;
  const auto vars = FinalVars();
  EXPECT_EQ(Register16(vars, 'A'), 1);
  EXPECT_EQ(Register16(vars, 'B'), 11);

  // The prompt with its error, to the pixel (5-bit channels).
  const Picture555 open = Crop(Png(out() / "400" / "screen.png"), CommandPrompt::kBounds);
  const std::string golden =
      std::string(TALVEX_SOURCE_DIR) + "/tests/data/golden/command_prompt.png";
  std::string error;
  if (std::getenv("TALVEX_UPDATE_EXPECTED") != nullptr) {
    ASSERT_TRUE(tool::WritePngFile(golden, open, error)) << error;
  }
  EXPECT_TRUE(tool::test::SamePicture(open, Png(golden)));
  // Closed, it leaves the game's picture as it was.
  EXPECT_TRUE(
      tool::test::SamePicture(Png(out() / "600" / "screen.png"), Png(out() / "90" / "screen.png")));
}

TEST_F(DeveloperCommandsTest, NastyLinesNeitherCrashNorCorruptTheGame) {
  Script("MAIN.MES", kWaitThenUseA);
  // Each line is typed into a fresh prompt and submitted; refused ones are then closed.
  const std::vector<std::string> lines = {
      "here: SET_REG16 A, 5",                    // a label
      "JUMP 0",                                  // a jump into the line itself
      "IF 1, 12345",                             // a jump out of it
      "DEFINE_PROC 3, 0",                        // code that would not stay
      "FROBNICATE 1",                            // no such word
      "DB 0x15",                                 // a byte the script would stop on
      "TEXT \"" + std::string(300, 'x') + "\"",  // longer than the prompt takes
      "SYSCALL 13, 0x830000",                    // the line calls itself, without end
      "CALL_PROC 99",                            // a procedure never defined
      "SET_REG16 C, R16(200)",                   // a register far past the end
      "",                                        // nothing at all
      "SET_REG16 D, 77",                         // and the prompt still works
  };
  std::string events;
  int ms = 100;
  for (const std::string& line : lines) {
    events += std::to_string(ms) + " command 40024\n";
    if (!line.empty()) events += std::to_string(ms + 10) + " type " + line + "\n";
    events += Tap(ms + 20, "Enter") + Tap(ms + 40, "Escape");
    ms += 100;
  }
  const auto result = RunGame(events);
  ASSERT_EQ(result.code, 0) << result.err;
  const auto vars = FinalVars();
  EXPECT_EQ(Register16(vars, 'A'), 1);
  EXPECT_EQ(Register16(vars, 'B'), 11);
  EXPECT_EQ(Register16(vars, 'D'), 77);
  EXPECT_EQ(FinalBoxes(), "");
}

TEST_F(DeveloperCommandsTest, WithoutTheToolsTheEntriesSaySoAndOutsideDebugModeNothingHappens) {
  Script("MAIN.MES", kWaitThenUseA);
  // A game system as tests make it: no developer tools installed.
  EXPECT_EQ(Run("100 command 40013\n200 command 40024\n" + Tap(300, "Escape")), 0);
  EXPECT_EQ(Boxes(),
            (std::vector<std::string>{
                "DUMP / Not available: this program runs without the developer tools.",
                "COMMAND / Not available: this program runs without the developer tools."}));
  EXPECT_FALSE(fs::exists(dir() / "DUMP-0001"));

  system_.reset();
  WriteSettings("[Config]\nbDEBUG=0\n");
  const auto result = RunGame("100 command 40013\n200 command 40024\n" + Tap(300, "Enter"));
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(FinalBoxes(), "");
  EXPECT_FALSE(fs::exists(dir() / "DUMP-0001"));
}

TEST(CommandPrompt, EditsWholeCharactersAndKeepsToItsCapacity) {
  CommandPrompt prompt;
  const auto key = [&](Key k) { prompt.OnInput({1, Msg::KeyDown, static_cast<uint32_t>(k)}); };
  const auto type = [&](std::initializer_list<uint32_t> codes) {
    for (const uint32_t code : codes) prompt.OnInput({1, Msg::Char, code});
  };
  // 你 is C4 E3; 丂 (81 40) has a trail byte that looks like '@'.
  type({'a', 0xC4E3, 'b'});
  EXPECT_EQ(prompt.text(),
            "a\xC4\xE3"
            "b");
  key(Key::Left);
  key(Key::Left);
  EXPECT_EQ(prompt.caret(), 1u);
  type({0x8140});
  EXPECT_EQ(prompt.text(),
            "a\x81\x40\xC4\xE3"
            "b");
  key(Key::Backspace);  // the whole of 丂
  EXPECT_EQ(prompt.text(),
            "a\xC4\xE3"
            "b");
  key(Key::Delete);  // the whole of 你
  EXPECT_EQ(prompt.text(), "ab");
  key(Key::End);
  EXPECT_EQ(prompt.caret(), 2u);
  key(Key::Home);
  key(Key::Backspace);  // nothing before the start
  key(Key::Right);
  key(Key::Right);
  key(Key::Right);  // nor past the end
  EXPECT_EQ(prompt.caret(), 2u);
  // Control characters and broken codes are no text; the line stops at its capacity.
  type({'\r', 0x1B, 0x7F, 0x80, 0xFF40, 0x81FF, 0x10041});
  EXPECT_EQ(prompt.text(), "ab");
  for (int i = 0; i < 300; ++i) type({'x'});
  EXPECT_EQ(prompt.text().size(), CommandPrompt::kCapacity);
  key(Key::Backspace);
  type({0xC4E3});  // one byte free: a double-byte character does not fit
  EXPECT_EQ(prompt.text().size(), CommandPrompt::kCapacity - 1);
  key(Key::Backspace);
  type({0xC4E3, 'y'});  // two free: it fits, and then nothing more
  EXPECT_EQ(prompt.text().size(), CommandPrompt::kCapacity);
  EXPECT_EQ(prompt.text().substr(prompt.text().size() - 2), "\xC4\xE3");
  EXPECT_EQ(prompt.state(), CommandPrompt::State::Editing);
  // An error goes with Reject; Enter and Escape end the editing.
  key(Key::Enter);
  EXPECT_EQ(prompt.state(), CommandPrompt::State::Submitted);
  prompt.Reject("bad", 3);
  EXPECT_EQ(prompt.state(), CommandPrompt::State::Editing);
  key(Key::Escape);
  EXPECT_EQ(prompt.state(), CommandPrompt::State::Cancelled);
  type({'z'});  // a closed prompt takes nothing more
  EXPECT_EQ(prompt.text().back(), '\xE3');
}

}  // namespace
}  // namespace tvx::testing
