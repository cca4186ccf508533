#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "archive/lzss_encoder.h"
#include "resources/byte_order.h"
#include "tests/archive/archive_test_fixture.h"

namespace tvx::testing {
namespace {

using FileLayer = ArchiveTest;

std::vector<uint8_t> Story(size_t lines) {
  std::vector<uint8_t> text;
  for (size_t i = 0; i < lines; ++i) {
    const std::string line = "The train left at " + std::to_string(i % 24) + " o'clock.\n";
    text.insert(text.end(), line.begin(), line.end());
  }
  return text;
}

std::vector<uint8_t> Packed(const std::vector<uint8_t>& data) {
  return LzssEncoder().Encode(data);
}

TEST_F(FileLayer, CompressedScriptsFromTheArchiveOrBesideIt) {
  const auto script = Story(200);
  File("CHS.ARC", BuildArchive({{"MAIN.MES", Packed(script)}}));
  File("extra.mes", Bytes("plain, not packed"));
  WriteSettings("[FILE]\nbARCMES=1\n[MES]\nbMESTYPE=1\n");
  ArchiveSet& archives = Open();
  auto image = variables_->image();

  std::string name = "main.mes";
  ASSERT_EQ(archives.LoadScript(name, image, variables_->FileLoadSpace()), 1);
  EXPECT_EQ(Read(image, script.size()), script);
  // Missing from the archive: a loose file of that name is read as it is, without a box.
  name = "EXTRA.MES";
  ASSERT_EQ(archives.LoadScript(name, image, variables_->FileLoadSpace()), 1);
  EXPECT_EQ(Read(image, 17), Bytes("plain, not packed"));
  EXPECT_EQ(archives.lastReadSize, 17u);
  EXPECT_TRUE(Boxes().empty());
  // Missing everywhere: only the loose read's box.
  name = "NONE.MES";
  EXPECT_EQ(archives.LoadScript(name, image, variables_->FileLoadSpace()), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件打开错误 / NONE.MES"});
}

TEST_F(FileLayer, StoredScriptMissingFromTheArchiveIsReported) {
  File("CHS.ARC", BuildArchive({{"MAIN.MES", Bytes("script")}}));
  File("OTHER.MES", Bytes("loose"));
  WriteSettings("[FILE]\nbARCMES=1\n");
  ArchiveSet& archives = Open();
  std::string name = "other.mes";
  EXPECT_EQ(archives.LoadScript(name, variables_->image(), variables_->FileLoadSpace()), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件检索错误 / OTHER.MES"});
}

TEST_F(FileLayer, CompressedLooseDataAndTheScratchArea) {
  const auto data = Story(50);
  File("ITEMS.DAT", Packed(data));
  WriteSettings("[DATA]\nbDATATYPE=1\n");
  ArchiveSet& archives = Open();
  // Staging at 0x20000 as the script machine sets it, or at 0 where it overlaps the output:
  // either way the expansion comes out whole.
  for (uint32_t scratch : {0x20000u, 0u}) {
    bytes::StoreLe32(variables_->bytes(), VariableArea::kSystemPointersOffset + 4, scratch);
    std::fill(variables_->image().begin(), variables_->image().end(), 0);
    std::string name = "items.dat";
    ASSERT_EQ(archives.LoadData(name, variables_->image(), variables_->FileLoadSpace()), 1)
        << scratch;
    EXPECT_EQ(Read(variables_->image(), data.size()), data) << scratch;
    EXPECT_EQ(archives.lastReadSize, Packed(data).size());
  }
  // A destination too small for the expansion fails with a box and stays within bounds.
  std::array<uint8_t, 40> small{};
  std::array<uint8_t, 8> guard{};
  guard.fill(0xAA);
  std::string name = "ITEMS.DAT";
  EXPECT_EQ(archives.LoadData(name, std::span(small).first(32), variables_->FileLoadSpace()), 0);
  EXPECT_EQ(small[32], 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件的读取失败了。 / ITEMS.DAT"});
}

TEST_F(FileLayer, StagingOutsideTheImageThatOverlapsTheOutputFailsTheLoad) {
  const auto data = Story(20);
  File("ITEMS.DAT", Packed(data));
  WriteSettings("[DATA]\nbDATATYPE=1\n");
  ArchiveSet& archives = Open();
  // A caller's own buffer as both staging and destination: the input cannot be moved into
  // the image out of the output's way, so the load fails rather than garble or overrun.
  std::vector<uint8_t> own(4096, 0x55);
  std::string name = "items.dat";
  EXPECT_EQ(archives.LoadData(name, own, {own, variables_->image()}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件的读取失败了。 / items.dat"});
  EXPECT_TRUE(std::all_of(variables_->image().begin(), variables_->image().end(),
                          [](uint8_t b) { return b == 0; }));
  // Staged apart from its output, the same buffer serves.
  std::vector<uint8_t> out(data.size());
  name = "items.dat";
  ASSERT_EQ(archives.LoadData(name, out, {own, variables_->image()}), 1);
  EXPECT_EQ(out, data);
}

TEST_F(FileLayer, PicturesBackToBackAndLooseFileRules) {
  File("A30_01.G16", Bytes("first-picture"));
  File("a30_02.g16", Bytes("second"));
  File("EMPTY.G16", {});
  ArchiveSet& archives = Open();
  std::array<uint8_t, 64> buffer{};
  std::string name = "A30_01.G16";
  ASSERT_EQ(archives.LoadPicture(name, buffer), 1);
  const uint32_t first = archives.lastReadSize;
  EXPECT_EQ(first, 13u);
  // The next file goes right behind the first; its name matches without regard to case.
  name = "A30_02.G16";
  ASSERT_EQ(archives.LoadPicture(name, std::span(buffer).subspan(first)), 1);
  EXPECT_EQ(Read(buffer, 19), Bytes("first-picturesecond"));
  name = "EMPTY.G16";
  ASSERT_EQ(archives.LoadPicture(name, buffer), 1);
  EXPECT_EQ(archives.lastReadSize, 0u);
  // A file that does not fit its destination is refused before anything is written.
  std::array<uint8_t, 4> tiny{9, 9, 9, 9};
  name = "A30_01.G16";
  EXPECT_EQ(archives.ReadLooseFile(name, tiny), 0);
  EXPECT_EQ(tiny[0], 9);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件的读取失败了。 / A30_01.G16"});
}

TEST_F(FileLayer, PicturesFromTheBgArchive) {
  File("BG.ARC", BuildArchive({{"SKY.G16", Bytes("blue")}}));
  WriteSettings("[FILE]\nbARCBG=1\n");
  ArchiveSet& archives = Open();
  std::array<uint8_t, 8> out{};
  std::string name = "sky.g16";
  ASSERT_EQ(archives.LoadPicture(name, out), 1);
  EXPECT_EQ(Read(out, 4), Bytes("blue"));
  name = "SEA.G16";
  EXPECT_EQ(archives.LoadPicture(name, out), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件检索错误 / SEA.G16"});
}

TEST_F(FileLayer, SaveFilesReplaceTheOldOneOnlyWhenComplete) {
  ArchiveSet& archives = Open();
  std::vector<uint8_t> save(ArchiveSet::kSaveSize, 0x11);
  ASSERT_EQ(archives.WriteLooseFile("FLAG01", save), 1);
  save.assign(ArchiveSet::kSaveSize, 0x22);
  ASSERT_EQ(archives.WriteLooseFile("flag01", save), 1);  // the same file, whatever the case
  std::vector<uint8_t> back(ArchiveSet::kSaveSize);
  ASSERT_EQ(archives.ReadLooseFile("FLAG01", back), 1);
  EXPECT_EQ(back, save);
  EXPECT_FALSE(std::filesystem::exists(dir() / "flag01"));
  // A save that cannot be completed leaves what was there.
  std::filesystem::create_directory(dir() / "FLAG02");
  EXPECT_EQ(archives.WriteLooseFile("FLAG02", save), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir() / "FLAG02"));
  EXPECT_EQ(archives.WriteLooseFile("NO/SUCH/DIR/FLAG03", save), 0);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"文件错误 / 文件的关闭失败了。",
                                               "文件打开错误 / NO/SUCH/DIR/FLAG03"}));
  size_t files = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir())) ++files;
  EXPECT_EQ(files, 2u);  // FLAG01 and the FLAG02 folder: no temporary file left behind
}

}  // namespace
}  // namespace tvx::testing
