#include "platform/memory_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/settings_file.h"
#include "tests/support/headless_fixture.h"

namespace tvx::testing {
namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// A memory folder in use for the test's length; the disk again afterwards.
class MemoryFolderTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    platform::UseMemoryFolder(&folder_);
  }
  void TearDown() override {
    platform::UseMemoryFolder(nullptr);
    HeadlessTest::TearDown();
  }
  platform::MemoryFolder folder_;
};

TEST_F(MemoryFolderTest, HandlesReadSeekAndDuplicateOnTheBytes) {
  folder_.Put("MAIN.MES", "0123456789");
  platform::File file;
  ASSERT_TRUE(file.Open("MAIN.MES", platform::File::Mode::Read));
  EXPECT_EQ(file.Size(), 10);
  std::array<uint8_t, 4> buffer{};
  EXPECT_EQ(file.Read(buffer), 4u);
  EXPECT_EQ(buffer, (std::array<uint8_t, 4>{'0', '1', '2', '3'}));
  EXPECT_EQ(file.Tell(), 4);
  // The duplicate starts at the beginning and keeps a position of its own.
  platform::File copy = file.Duplicate("MAIN.MES");
  ASSERT_TRUE(copy.IsOpen());
  EXPECT_TRUE(file.Seek(8));
  EXPECT_EQ(file.Read(buffer), 2u);
  EXPECT_EQ(buffer[0], '8');
  EXPECT_EQ(file.Read(buffer), 0u);
  EXPECT_EQ(copy.Read(buffer), 4u);
  EXPECT_EQ(buffer[0], '0');
  // A later Put does not change what an open handle reads.
  folder_.Put("MAIN.MES", "abc");
  EXPECT_EQ(copy.Read(buffer), 4u);
  EXPECT_EQ(buffer[0], '4');
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(file.IsOpen());
  // Only reading opens: writes go through the whole-file writers.
  EXPECT_FALSE(file.Open("MAIN.MES", platform::File::Mode::ReadWrite));
  EXPECT_FALSE(file.Open("NEW.BIN", platform::File::Mode::CreateTruncate));
}

TEST_F(MemoryFolderTest, TheDiskIsNeitherReadNorWritten) {
  {
    std::ofstream out(dir() / "LOOSE.BIN");
    out << "on the disk";
  }
  EXPECT_FALSE(platform::FileExists("LOOSE.BIN"));
  platform::File file;
  EXPECT_FALSE(file.Open("LOOSE.BIN", platform::File::Mode::Read));
  std::error_code error;
  EXPECT_FALSE(platform::ReadWholeFile("LOOSE.BIN", error));
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);

  const auto data = Bytes("saved");
  ASSERT_TRUE(platform::WriteFileAtomically("FLAG01", data));
  EXPECT_FALSE(std::filesystem::exists(dir() / "FLAG01"));
  EXPECT_TRUE(platform::FileExists("FLAG01"));
  EXPECT_EQ(platform::ReadWholeFile("FLAG01"), data);
  EXPECT_EQ(platform::RemoveStaleTemporaryFiles({}), 0u);

  // A writer that is not committed leaves the folder as it was.
  {
    platform::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Begin("FLAG01"));
    ASSERT_TRUE(writer.Write(Bytes("half")));
  }
  EXPECT_EQ(platform::ReadWholeFile("FLAG01"), data);
}

TEST_F(MemoryFolderTest, LooseNamesMatchWithoutRegardToCase) {
  folder_.Put("Data/Start.mes", "x");
  EXPECT_EQ(platform::ResolveLoosePath("DATA\\START.MES"), "Data/Start.mes");
  EXPECT_EQ(platform::ResolveLoosePath("data/start.mes"), "Data/Start.mes");
  EXPECT_EQ(platform::ResolveLoosePath("OTHER.MES"), "OTHER.MES");
  EXPECT_EQ(platform::ResolveLoosePath("../Data/Start.mes"), "");
}

TEST_F(MemoryFolderTest, SettingsReadFromMemoryAndSeeANewVersion) {
  const std::string path = "/memory/TVXCHS.INI";
  folder_.Put(path, "[Config]\nDUNGEON=2\n");
  SettingsFile settings(path);
  EXPECT_EQ(settings.ReadInt("Config", "DUNGEON", 1), 2);
  folder_.Put(path, "[Config]\nDUNGEON=3\n");
  EXPECT_EQ(settings.ReadInt("Config", "DUNGEON", 1), 3);
  settings.WriteInt("Config", "SOUND", 0);
  EXPECT_EQ(SettingsFile(path).ReadInt("Config", "SOUND", 1), 0);
  const auto written = folder_.Find(path);
  ASSERT_NE(written, nullptr);
  EXPECT_NE(std::string(written->begin(), written->end()).find("SOUND=0"), std::string::npos);
}

TEST_F(HeadlessTest, WritesWithoutFlushingStillReplaceWholeFiles) {
  const auto path = (dir() / "FLAG02").string();
  ASSERT_TRUE(platform::WriteFileAtomically(path, Bytes("first")));
  platform::SetFlushBeforeRename(false);
  EXPECT_FALSE(platform::FlushBeforeRename());
  const bool written = platform::WriteFileAtomically(path, Bytes("second"));
  platform::SetFlushBeforeRename(true);
  EXPECT_TRUE(platform::FlushBeforeRename());
  EXPECT_TRUE(written);
  EXPECT_EQ(platform::ReadWholeFile(path), Bytes("second"));
  EXPECT_EQ(platform::RemoveStaleTemporaryFiles(dir().string()), 0u);
}

}  // namespace
}  // namespace tvx::testing
