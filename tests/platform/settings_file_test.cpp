#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file.h"
#include "platform/profile_file.h"
#include "platform/settings_file.h"
#include "tests/app/game_fixture.h"

namespace tvx::testing {
namespace {

using SettingsTest = HeadlessTest;

TEST_F(SettingsTest, PathIsBesideTheProgramWhateverTheCurrentDirectory) {
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path("/");
  EXPECT_EQ(SettingsFile().path(), SettingsPath());
  std::filesystem::current_path(cwd);

  // Deep installations keep their whole path.
  std::string deep = "/opt/";
  while (deep.size() < 300) deep += "games-folder-with-a-long-name/";
  platform::SetProgramPathOverride(deep + "talvex");
  EXPECT_EQ(SettingsFile().path(), deep + "TVXCHS.INI");
}

TEST_F(SettingsTest, WriteThenReadAndTheKeysTheGameUses) {
  WriteSettings(
      "[Config]\r\nTITLE=Night Train\r\nDUNGEON=2\r\n[VOLUME]\r\nMusic=-2500\r\n"
      "Voice=loud\r\n");
  SettingsFile settings;
  EXPECT_EQ(settings.ReadString("Config", "TITLE", "TALVEX", 128), "Night Train");
  EXPECT_EQ(settings.ReadInt("Config", "DUNGEON", 1), 2);
  EXPECT_EQ(settings.ReadInt("VOLUME", "Music", -500), -2500);
  EXPECT_EQ(settings.ReadInt("VOLUME", "Voice", 0), 0);         // non-numeric
  EXPECT_EQ(settings.ReadInt("VOLUME", "Effect", -500), -500);  // missing
  // A value written is what the next reader, any reader, sees.
  settings.WriteInt("Config", "SOUND", 0);
  settings.WriteInt("VOLUME", "Music", -6000);
  SettingsFile other;
  EXPECT_EQ(other.ReadInt("Config", "SOUND", 1), 0);
  EXPECT_EQ(other.ReadInt("VOLUME", "Music", 0), -6000);
  EXPECT_EQ(other.ReadString("Config", "TITLE", "", 128), "Night Train");
  // GBK text passes through untouched.
  other.WriteString("Config", "TITLE", Gbk("夜行列车"));
  EXPECT_EQ(settings.ReadString("Config", "TITLE", "", 128), Gbk("夜行列车"));
}

TEST_F(SettingsTest, TheFileIsReadOnceAndWritesKeepTheReadersUpToDate) {
  std::string text = "[Config]\nTITLE=Night Train\n";
  for (int i = 0; i < 2000; ++i) text += "KEY" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  WriteSettings(text);
  const uint64_t before = SettingsFile::FileReads();
  SettingsFile settings;
  SettingsFile other;  // another part of the game, with its own object
  for (int i = 0; i < 2000; i += 7)
    EXPECT_EQ(settings.ReadInt("config", "key" + std::to_string(i), -1), i);
  EXPECT_EQ(other.ReadString("Config", "TITLE", "", 128), "Night Train");
  EXPECT_EQ(SettingsFile::FileReads() - before, 1u) << "one reading for every key and reader";

  // A write goes to the file at once and every reader sees it, without reading the file again.
  settings.WriteInt("ITEMWIN", "X", -20);
  EXPECT_EQ(other.ReadInt("ITEMWIN", "X", 0), -20);
  EXPECT_EQ(SettingsFile::FileReads() - before, 1u);
  EXPECT_EQ(platform::profile::ReadInt(SettingsPath(), "ITEMWIN", "X", 0), -20);
  EXPECT_EQ(platform::profile::ReadInt(SettingsPath(), "Config", "KEY1999", 0), 1999);

  // A file that another program replaced is read again.
  WriteSettings("[Config]\nTITLE=Day Train, changed by hand\n");
  EXPECT_EQ(settings.ReadString("Config", "TITLE", "", 128), "Day Train, changed by hand");
  EXPECT_EQ(other.ReadInt("ITEMWIN", "X", 0), 0);
  EXPECT_EQ(SettingsFile::FileReads() - before, 2u);
}

}  // namespace
}  // namespace tvx::testing
