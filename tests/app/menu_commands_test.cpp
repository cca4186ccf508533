// The command menu's tree and the option commands, chosen as a player chooses them (the
// headless "command" event): the settings file, the sound switch, the walker's speed, the
// check marks, and greyed commands that cannot be chosen.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "script/shared_state.h"
#include "sound/sound_manager.h"
#include "tests/script/script_fixture.h"
#include "ui/menu_tree.h"

namespace tvx::testing {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(MenuTree, TheTreeAndItsChecks) {
  MenuTree tree;
  tree.Build(false);
  const std::string plain = tree.Describe();
  EXPECT_EQ(plain.find("Debug"), std::string::npos);
  EXPECT_NE(plain.find("0\tcommand\t40032\tgrayed\t道具窗口(SPACE)\n"), std::string::npos);
  EXPECT_NE(plain.find("0\tsubmenu\t0\t-\t环境设定\n1\tsubmenu\t0\t-\t音乐＆效果音\n"
                       "2\tcommand\t40017\t-\tＯＮ\n"),
            std::string::npos);
  EXPECT_TRUE(plain.ends_with("0\tseparator\t0\t-\t\n0\tcommand\t2\t-\t取消\n"));
  EXPECT_FALSE(tree.Choosable(40037));
  EXPECT_TRUE(tree.Choosable(57665));
  EXPECT_FALSE(tree.Choosable(40013));  // a debug entry, not in this tree

  // A speed the menu does not know leaves all three unchecked; the switches check one side.
  tree.UpdateChecks({.moveSpeed = 5, .soundOn = 0, .voiceOn = 1});
  EXPECT_FALSE(tree.Find(40033)->checked || tree.Find(40034)->checked || tree.Find(40035)->checked);
  EXPECT_TRUE(tree.Find(40018)->checked);
  EXPECT_FALSE(tree.Find(40017)->checked);
  EXPECT_TRUE(tree.Find(40019)->checked);
  tree.UpdateChecks({.moveSpeed = 2});
  EXPECT_TRUE(tree.Find(40035)->checked);
  EXPECT_FALSE(tree.Find(40034)->checked);

  // Debug mode adds the debug menu with its planes and screen modes; both modes stay
  // choosable, the one in use checked.
  tree.Build(true);
  tree.UpdateChecks({.debug = true, .fullScreen = true});
  const std::string debug = tree.Describe();
  EXPECT_NE(debug.find("0\tsubmenu\t0\t-\tDebug\n1\tcommand\t40009\t-\tNOW FILE\n"
                       "1\tsubmenu\t0\t-\tView Vram\n2\tcommand\t40004\t-\tView Primary Vram\n"
                       "2\tcommand\t40005\t-\tView Back    Vram 1\n"),
            std::string::npos);
  EXPECT_NE(debug.find("2\tcommand\t40027\t-\t窗口\n2\tcommand\t40028\tchecked\t全屏幕\n"),
            std::string::npos);
  EXPECT_TRUE(tree.Choosable(40027));

  // The game commands follow what the scripts allow.
  MenuCommandStates commands;
  commands.Enable(kCommandSaveRequest, true);
  commands.Check(kCommandClearMessages, true);
  tree.Sync(commands);
  EXPECT_TRUE(tree.Choosable(kCommandSaveRequest));
  EXPECT_FALSE(tree.Choosable(kCommandLoadRequest));
  EXPECT_TRUE(tree.Find(kCommandClearMessages)->checked);
}

using MenuCommands = ScriptTest;

TEST_F(MenuCommands, OptionCommandsChangeTheSettingsTheSoundAndTheChecks) {
  WriteSettings("[Config]\nDUNGEON=1\n");
  Script("MAIN.MES", R"(
    EFFECT 11                         ; interface sounds on
    SYSCALL 11, 400                   ; the player chooses meanwhile
    SYSCALL 25, 3
    SET_REG16 A, S
    SYSCALL 25, 1, 1                  ; now saving is allowed
    SYSCALL 11, 400
    SYSCALL 25, 3
    SET_REG16 B, S
    END
  )");
  EXPECT_EQ(Run("10 command 40018\n20 command 40035\n30 command 40020\n"
                "40 command 40037\n"  // greyed: nothing happens
                "1000 command 40017\n"
                "2000 command 40037\n"),  // allowed: the request is raised
            0);
  EXPECT_EQ(R16('A'), 0);
  EXPECT_EQ(R16('B'), 1);
  EXPECT_EQ(system_->shared().soundOn, 1u);
  EXPECT_EQ(system_->shared().voiceOn, 0u);
  EXPECT_EQ(system_->shared().moveSpeed, 2u);
  EXPECT_EQ(R16('W'), 40);
  const std::string settings = ReadText(SettingsPath());
  EXPECT_NE(settings.find("DUNGEON=2"), std::string::npos);
  EXPECT_NE(settings.find("SOUND=1"), std::string::npos);
  EXPECT_NE(settings.find("VOICE=0"), std::string::npos);
  MenuTree& menus = system_->mainWindow().menus();
  EXPECT_TRUE(menus.Find(40035)->checked);
  EXPECT_TRUE(menus.Find(40017)->checked);
  EXPECT_TRUE(menus.Find(40020)->checked);
  // Music came back at the volume the player set; the greyed choice played nothing.
  EXPECT_GT(system_->sound()->AppliedVolume(SoundManager::kMusic), -6000);
  int winopn = 0;
  for (const auto& e : system_->sound()->log().Events())
    if (e.channel == SoundManager::kEffect2) winopn += e.name == "WINOPN.WAV" ? 1 : 100;
  EXPECT_EQ(winopn, 1);
}

}  // namespace
}  // namespace tvx::testing
