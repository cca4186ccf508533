#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/profile_file.h"

namespace tvx::platform::profile {
namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("talvex-profile-" +
              std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
              std::to_string(::getpid()) + ".ini"))
                .string();
    std::filesystem::remove(path_);
  }
  void TearDown() override { std::filesystem::remove(path_); }
  void Write(std::string_view text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Contents() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string path_;
};

TEST_F(ProfileFileTest, ReadsValuesLikeThePrivateProfileFunctions) {
  Write(
      "; comment\r\n"
      "[config]\r\n"
      "  Title =  My Game  \r\n"
      "DUNGEON=2\r\n"
      "Negative=-2500\r\n"
      "Words=abc\r\n"
      "Partly=12abc\r\n"
      "Quoted=\"with spaces \"\r\n"
      "[Other]\r\n"
      "DUNGEON=7\r\n"
      "[CONFIG]\r\n"
      "Late=1\r\n");
  // Sections and keys without regard to case; blanks around the value go.
  EXPECT_EQ(ReadValue(path_, "Config", "TITLE"), "My Game");
  EXPECT_EQ(ReadInt(path_, "Config", "dungeon", 1), 2);
  EXPECT_EQ(ReadInt(path_, "OTHER", "DUNGEON", 1), 7);
  EXPECT_EQ(ReadInt(path_, "Config", "Negative", 0), -2500);
  // Text that is not a number reads as 0, not as the default.
  EXPECT_EQ(ReadInt(path_, "Config", "Words", 5), 0);
  EXPECT_EQ(ReadInt(path_, "Config", "Partly", 5), 12);
  EXPECT_EQ(ReadString(path_, "Config", "Quoted", "", 128), "with spaces ");
  // Missing key, missing section: the default. A second section of the same name is unseen.
  EXPECT_EQ(ReadInt(path_, "Config", "Missing", -3), -3);
  EXPECT_EQ(ReadInt(path_, "Nowhere", "DUNGEON", 9), 9);
  EXPECT_EQ(ReadInt(path_, "Config", "Late", 4), 4);
  // Values and defaults are cut to the buffer's capacity.
  EXPECT_EQ(ReadString(path_, "Config", "TITLE", "", 4), "My ");
  EXPECT_EQ(ReadString(path_, "Config", "Missing", "MAIN.MES", 5), "MAIN");
  EXPECT_EQ(ReadString(path_, "Config", "Missing", "MAIN.MES", 0), "");
}

TEST_F(ProfileFileTest, NoFileGivesDefaults) {
  EXPECT_EQ(ReadInt(path_, "Config", "SOUND", 1), 1);
  EXPECT_EQ(ReadString(path_, "Config", "StartMES", "MAIN.MES", 128), "MAIN.MES");
  EXPECT_FALSE(ReadValue(path_, "Config", "SOUND").has_value());
}

TEST_F(ProfileFileTest, WritesKeepTheRestOfTheFile) {
  // A new file gets the section and the key.
  ASSERT_TRUE(WriteString(path_, "VOLUME", "Music", "-2500"));
  EXPECT_EQ(ReadInt(path_, "VOLUME", "Music", 0), -2500);
  EXPECT_EQ(Contents(), "[VOLUME]\r\nMusic=-2500\r\n");

  Write("; keep me\n[Config]\nTITLE=Game\nSOUND=1\n\n[VOLUME]\nMusic=-500\n");
  ASSERT_TRUE(WriteString(path_, "config", "sound", "0"));  // replaces in place
  ASSERT_TRUE(WriteString(path_, "Config", "VOICE", "1"));  // added after the last entry
  ASSERT_TRUE(WriteString(path_, "ITEMWIN", "X", "20"));    // a new section at the end
  EXPECT_EQ(Contents(),
            "; keep me\n[Config]\nTITLE=Game\nsound=0\nVOICE=1\n\n[VOLUME]\nMusic=-500\n"
            "\n[ITEMWIN]\nX=20\n");
  // No temporary file is left beside it.
  size_t files = 0;
  for (auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(path_).parent_path()))
    if (entry.path().string().rfind(path_, 0) == 0) ++files;
  EXPECT_EQ(files, 1u);
}

TEST_F(ProfileFileTest, AFailedWriteLeavesTheOldFile) {
  Write("[Config]\nSOUND=1\n");
  const std::filesystem::path dir = std::filesystem::path(path_).parent_path() / "talvex-ro-dir";
  std::filesystem::create_directories(dir);
  const std::string inside = (dir / "TVXCHS.INI").string();
  std::ofstream(inside, std::ios::binary) << "[Config]\nSOUND=1\n";
  std::filesystem::permissions(
      dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const bool wrote = WriteString(inside, "Config", "SOUND", "0");
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
  // Root may write anyway; either way the file is whole and readable.
  EXPECT_EQ(ReadInt(inside, "Config", "SOUND", 9), wrote ? 0 : 1);
  std::filesystem::remove_all(dir);
}

TEST(ProfileParseInt, Numbers) {
  EXPECT_EQ(ParseInt("42"), 42);
  EXPECT_EQ(ParseInt("  -7"), -7);
  EXPECT_EQ(ParseInt("+3"), 3);
  EXPECT_EQ(ParseInt(""), 0);
  EXPECT_EQ(ParseInt("-"), 0);
  EXPECT_EQ(ParseInt("x1"), 0);
  EXPECT_EQ(ParseInt("4294967295"), -1);  // wraps like the 32-bit value it is
}

}  // namespace
}  // namespace tvx::platform::profile
