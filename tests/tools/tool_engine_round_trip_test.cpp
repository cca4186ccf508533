// What the tools pack, the engine loads: every entry of an archive made by `arc pack`, plain
// and compressed, and the same files loose, stored and `lzss pack`ed.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "archive/archive_set.h"
#include "script/variable_area.h"
#include "tests/support/headless_fixture.h"
#include "tests/tools/tool_test_support.h"
#include "tools/arc_command.h"
#include "tools/lzss_command.h"

namespace tvx::testing {
namespace {

namespace fs = std::filesystem;
using tool::test::ReadFile;
using tool::test::RunCommand;

class ToolToEngine : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    StartPlatform();
  }
  // Loads every file with a fresh ArchiveSet under these settings and compares.
  void ExpectEveryFileLoads(const std::string& settings) {
    WriteSettings(settings);
    auto variables = std::make_unique<VariableArea>();
    ArchiveSet archives;
    ASSERT_EQ(archives.OpenAll(ArchiveOptions::Read(SettingsFile())), 1);
    for (const auto& [name, data] : files_) {
      std::string lookup = name;
      ASSERT_EQ(
          archives.LoadData(lookup, variables->image().first(0x100000), variables->FileLoadSpace()),
          1)
          << name << " with " << settings;
      EXPECT_TRUE(std::equal(data.begin(), data.end(), variables->image().begin()))
          << name << " with " << settings;
    }
    EXPECT_TRUE(backend().boxes().empty()) << settings;
  }
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files_;
};

TEST_F(ToolToEngine, EveryEntryLoadsPlainCompressedLooseAndPacked) {
  fs::create_directory("src");
  files_ = {{"LICENSE.TXT", ReadFile(TALVEX_SOURCE_DIR "/LICENSE")},
            {"STORY.MES", tool::test::SampleText(70000)},
            {"NOISE.BIN", tool::test::RandomBytes(5000)},
            {"EMPTY.DAT", {}}};
  std::vector<uint8_t> picture;
  for (int i = 0; i < 320 * 240; ++i) {
    const uint16_t pixel = static_cast<uint16_t>(((i % 320) / 10) << 10 | ((i / 320) / 8) << 5);
    picture.push_back(static_cast<uint8_t>(pixel));
    picture.push_back(static_cast<uint8_t>(pixel >> 8));
  }
  files_.emplace_back("SKY.G16", picture);
  for (const auto& [name, data] : files_) tool::test::WriteFile("src/" + name, data);

  ASSERT_EQ(RunCommand(tool::RunArc, {"pack", "PLAIN.ARC", "--from", "src"}).code, 0);
  ASSERT_EQ(RunCommand(tool::RunArc, {"pack", "--lzss", "PACKED.ARC", "--from", "src"}).code, 0);
  // The archive extracts byte for byte.
  ASSERT_EQ(RunCommand(tool::RunArc, {"extract", "PLAIN.ARC", "-o", "out"}).code, 0);
  for (const auto& [name, data] : files_) EXPECT_EQ(ReadFile("out/" + name), data) << name;
  ExpectEveryFileLoads("[FILE]\nbARCDATA=1\nARCDATANAME=PLAIN.ARC\n");
  ExpectEveryFileLoads("[FILE]\nbARCDATA=1\nARCDATANAME=PACKED.ARC\n[DATA]\nbDATATYPE=1\n");

  // Loose files: stored, and compressed one by one with `lzss pack`.
  for (const auto& [name, data] : files_) tool::test::WriteFile(name, data);
  ExpectEveryFileLoads("[FILE]\nbARCDATA=0\n");
  for (const auto& [name, data] : files_)
    ASSERT_EQ(RunCommand(tool::RunLzss, {"pack", "src/" + name, name}).code, 0);
  ExpectEveryFileLoads("[DATA]\nbDATATYPE=1\n");
}

}  // namespace
}  // namespace tvx::testing
