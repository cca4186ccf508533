#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/program_entry.h"
#include "app/shell_windows.h"
#include "platform/file.h"
#include "platform/trace.h"
#include "tests/app/game_fixture.h"

namespace tvx::testing {
namespace {

using StartupTest = GameTest;

TEST_F(StartupTest, NoSettingsFileGivesTheDefaults) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(game().shared().moveSpeed, 1u);
  EXPECT_EQ(game().shared().soundOn, 1u);
  EXPECT_EQ(game().shared().voiceOn, 1u);
  EXPECT_EQ(window().title(), "TALVEX");
  EXPECT_EQ(game().variables().Register16(VariableArea::kRegisterW), 20);
  EXPECT_EQ(game().shared().cursorVisible, 1u);
  EXPECT_EQ(game().nowFileNames[2], "********.GP8");
  EXPECT_EQ(game().nowFileNames[9], "********.WAV");
  EXPECT_EQ(game().sound()->GetChannelVolume(0), -500);
  EXPECT_NE(CurrentGameSystem(), nullptr);
  EXPECT_TRUE(platform::IsWindow(window().handle()));
  // The windowed build never switches the display.
  EXPECT_FALSE(backend().fullscreen());
  EXPECT_EQ(game().display().switch_count(), 0u);

  // With no script the game waits for the player, who closes it: OK ends it with 0.
  platform::input::SystemCommand(window().handle(), platform::kScClose);
  EXPECT_EQ(game().RunGame(), 0);
  EXPECT_EQ(game().variables().ScriptName(), "MAIN.MES");
  EXPECT_EQ(game().nowFileNames[1], "MAIN.MES");
  EXPECT_FALSE(platform::IsWindow(window().handle()));
  // The missing start script was reported by the file layer, then the quit was confirmed.
  ASSERT_EQ(backend().boxes().size(), 2u);
  EXPECT_EQ(backend().boxes()[0].caption, Gbk("文件打开错误"));
  EXPECT_EQ(backend().boxes()[0].text, "MAIN.MES");
  EXPECT_EQ(backend().boxes()[1].text, Gbk("结束游戏吗？"));
}

TEST_F(StartupTest, OptionsFromTheSettingsFile) {
  std::string long_name(130, 'X');
  WriteSettings("[Config]\nTITLE=" + Gbk("夜行") +
                "\nDUNGEON=2\nSOUND=0\nVOICE=0\nStartMES=" + long_name + "\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(window().title(), Gbk("夜行"));
  EXPECT_EQ(game().shared().moveSpeed, 2u);
  EXPECT_EQ(game().variables().Register16(VariableArea::kRegisterW), 40);
  EXPECT_EQ(game().shared().voiceOn, 0u);
  // Sound off mutes music and effects for now; the remembered volumes stay as they were.
  EXPECT_EQ(game().shared().soundOn, 0u);
  EXPECT_EQ(game().sound()->AppliedVolume(0), -6000);
  EXPECT_EQ(game().sound()->AppliedVolume(2), -6000);
  EXPECT_EQ(game().sound()->AppliedVolume(3), -6000);
  EXPECT_EQ(game().sound()->GetChannelVolume(0), -500);
  EXPECT_EQ(game().sound()->GetChannelVolume(2), -500);
  platform::input::SystemCommand(window().handle(), platform::kScClose);
  game().RunGame();
  // The start script's name is cut to 127 characters.
  EXPECT_EQ(game().variables().ScriptName(), long_name.substr(0, 127));
  EXPECT_EQ(game().nowFileNames[1], long_name.substr(0, 127));
}

TEST_F(StartupTest, ADeviceFailureShowsTheSystemErrorBox) {
  StartPlatform();
  backend().set_fullscreen_fails(true);
  GameSystem system({.windowed = false});
  EXPECT_EQ(system.RunSystem(), 0);
  EXPECT_EQ(system.ending(), GameSystem::Ending::kStartUpFailed);
  ASSERT_EQ(backend().boxes().size(), 1u);
  EXPECT_EQ(backend().boxes()[0].caption, Gbk("系统错误"));
  EXPECT_EQ(backend().boxes()[0].text, Gbk("在系统的构筑中失败了。"));
  EXPECT_EQ(backend().boxes()[0].owner, system.mainWindow().handle());
}

TEST_F(StartupTest, FullScreenProgramEntersAndLeavesTheMode) {
  ASSERT_TRUE(Start("", /*windowed=*/false));
  EXPECT_TRUE(backend().fullscreen());
  EXPECT_TRUE(game().display().fullscreen());
  // Minimizing gives the display back; restoring takes it again.
  platform::input::SystemCommand(window().handle(), platform::kScMinimize);
  PumpAll();
  EXPECT_FALSE(backend().fullscreen());
  EXPECT_TRUE(platform::IsMinimized(window().handle()));
  platform::input::SystemCommand(window().handle(), platform::kScRestore);
  PumpAll();
  EXPECT_TRUE(backend().fullscreen());
  EXPECT_FALSE(platform::IsMinimized(window().handle()));
  // Entering twice switched only once each way.
  EXPECT_EQ(game().display().switch_count(), 3u);
  system_.reset();
  EXPECT_FALSE(backend().fullscreen());
}

TEST_F(StartupTest, ErrorBoxBeforeAndAfterTheShellExists) {
  StartPlatform();
  ASSERT_EQ(CurrentGameSystem(), nullptr);
  EXPECT_EQ(ErrorBox("caption", "text"), 0);
  ASSERT_EQ(backend().boxes().size(), 1u);
  EXPECT_EQ(backend().boxes()[0].owner, platform::kNoWindow);  // the desktop's

  system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
  ASSERT_TRUE(system_->StartUp());
  window().ForceCursor(false);
  game().shared().cursorVisible = 0;
  ErrorBox("caption", "text");
  ASSERT_EQ(backend().boxes().size(), 2u);
  EXPECT_EQ(backend().boxes()[1].owner, window().handle());
  // The box showed the cursor, and it stays shown.
  EXPECT_EQ(platform::CursorCounter(), 0);
  EXPECT_TRUE(backend().cursor_visible());
}

TEST_F(StartupTest, ShutdownGoesInOrderAndASecondCopyEndsAtOnce) {
  std::vector<std::string> lines;
  trace::SetSink([&](trace::Channel channel, std::string_view text) {
    if (channel == trace::Channel::App) lines.emplace_back(text);
  });
  ASSERT_TRUE(Start());
  system_.reset();
  trace::SetSink(nullptr);
  const std::vector<std::string> expected = {
      "start-up",           "destroy ShellWindows",
      "destroy TickThread", "destroy SoundManager, AnimationTable, DungeonView",
      "destroy ArchiveSet", "destroy embedded components"};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(CurrentGameSystem(), nullptr);

  // Another copy holds the lock on this program file: the entry returns 0 with no window.
  ASSERT_TRUE(platform::AcquireSingleInstance(platform::ProgramPath()));
  platform::ReleaseSingleInstanceForTesting();
  ASSERT_TRUE(platform::AcquireSingleInstance(platform::ProgramPath()));
  // The lock is kept open by this process; a fresh entry sees it as another copy's.
  GameSystem second({.windowed = true});
  EXPECT_EQ(ProgramEntry(second), 0);
  EXPECT_EQ(second.mainWindow().handle(), platform::kNoWindow);
  EXPECT_TRUE(backend().boxes().empty());
}

TEST_F(StartupTest, AGameFolderOnTheCommandLineIsWhereEverythingComesFrom) {
  const std::filesystem::path folder = dir() / "game";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "TVXCHS.INI") << "[Config]\nTITLE=FOLDER\nStartMES=FIRST.MES\n";
  std::ofstream(folder / "FIRST.MES", std::ios::binary).put('\0');  // END
  std::ostringstream err;
  const std::vector<std::string> args = {"game"};  // relative to where the program started
  ASSERT_EQ(TakeCommandLine("talvex", args, err), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(std::filesystem::current_path(), folder);
  EXPECT_EQ(platform::ProgramPath(), (folder / "talvex").string());

  // The settings and the start script are the folder's.
  StartPlatform();
  GameSystem system({.windowed = true});
  ASSERT_TRUE(system.StartUp());
  EXPECT_EQ(system.mainWindow().title(), "FOLDER");
  EXPECT_EQ(system.RunGame(), 0);
  EXPECT_EQ(system.ending(), GameSystem::Ending::kGameEnded);
  EXPECT_TRUE(backend().boxes().empty());
}

TEST_F(StartupTest, TemporaryFilesOfKilledWritesAreRemovedAndNothingElse) {
  // What a save or a settings write killed before its rename leaves: name, ".tmp", six
  // letters or digits.
  const std::vector<std::string> stale = {"FLAG01.tmpAb3dEf", "TVXCHS.INI.tmp0Z9yXw",
                                          "SAVE.DAT.tmpzzzzzz"};
  // Anything else stays: other lengths, other letters, no name before ".tmp", folders.
  const std::vector<std::string> kept = {
      "notes.tmp",  "FLAG01.tmpAb3dE",  "FLAG01.tmpAb3dEfg", "FLAG01.tmpAb-dEf",
      ".tmpABCDEF", "FLAG01.TMPAb3dEf", "FLAG01.tmpAb3dEf~", "FLAG01"};
  for (const auto& name : stale) std::ofstream(dir() / name) << "half";
  for (const auto& name : kept) std::ofstream(dir() / name) << "mine";
  std::filesystem::create_directory(dir() / "D.tmpABCDEF");
  ASSERT_TRUE(Start());
  for (const auto& name : stale) EXPECT_FALSE(std::filesystem::exists(dir() / name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(std::filesystem::exists(dir() / name)) << name;
  EXPECT_TRUE(std::filesystem::is_directory(dir() / "D.tmpABCDEF"));
}

TEST_F(StartupTest, TheCommandLineIsNothingOrOneFolderThatIsThere) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* err;
  } cases[] = {
      {{}, 0, ""},
      {{"nowhere"}, 1, "talvex-windowed: no game folder nowhere: No such file or directory\n"},
      {{"TVXCHS.INI"}, 1, "talvex-windowed: no game folder TVXCHS.INI: Not a directory\n"},
      {{"TVXCHS.INI/sub"}, 1, "talvex-windowed: no game folder TVXCHS.INI/sub: Not a directory\n"},
      {{"a", "b"}, 2, "usage: talvex-windowed [GAME_DIR]\n"},
      {{"--fast"}, 2, "usage: talvex-windowed [GAME_DIR]\n"},
  };
  WriteSettings("");  // a file, not a folder
  for (const auto& c : cases) {
    std::ostringstream err;
    EXPECT_EQ(TakeCommandLine("talvex-windowed", c.args, err), c.status) << c.err;
    EXPECT_EQ(err.str(), c.err);
    // Nothing moved.
    EXPECT_EQ(std::filesystem::current_path(), dir());
    EXPECT_EQ(platform::ProgramPath(), (dir() / "talvex").string());
  }
}

}  // namespace
}  // namespace tvx::testing
