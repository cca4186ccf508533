#include <gtest/gtest.h>

#include <filesystem>

#include "archive/archive_format.h"
#include "archive/lzss_decoder.h"
#include "resources/byte_order.h"
#include "resources/gbk.h"
#include "tests/tools/tool_test_support.h"
#include "tools/arc_command.h"

namespace tvx::tool {
namespace {

using test::Bytes;
using test::ReadFile;
using test::RunCommand;
using test::SampleText;
using test::TempDir;
using test::WriteFile;

// The index as stored: count, then unscrambled entries.
std::vector<arc::Entry> ReadIndex(const std::vector<uint8_t>& archive) {
  const uint32_t count = bytes::LoadLe32(archive, 0);
  std::vector<uint8_t> index(archive.begin() + 4, archive.begin() + 4 + count * arc::kEntrySize);
  arc::ScrambleIndex(index);
  std::vector<arc::Entry> entries;
  for (size_t i = 0; i < count; ++i) entries.push_back(arc::ReadEntry(index, i));
  return entries;
}

std::vector<uint8_t> StoredData(const std::vector<uint8_t>& archive, const arc::Entry& entry) {
  return {archive.begin() + entry.offset, archive.begin() + entry.offset + entry.size};
}

struct Sample {
  std::string file;
  std::vector<uint8_t> data;
};

std::vector<Sample> Samples() {
  return {{"main.mes", SampleText(9000, 1)},
          {"Empty.dat", {}},
          {"b.txt", Bytes("bb")},
          {"a.txt", SampleText(50000, 2)}};
}

TEST(ArcPack, PackListExtractPlain) {
  TempDir dir;
  std::vector<std::string> args = {"pack", dir / "OUT.ARC"};
  for (const Sample& sample : Samples()) {
    WriteFile(dir / sample.file, sample.data);
    args.push_back(dir / sample.file);
  }
  const auto packed = RunCommand(RunArc, args);
  ASSERT_EQ(packed.code, 0) << packed.err;

  // The layout: count, scrambled index in the order given, the data back to back after it.
  const auto archive = ReadFile(dir / "OUT.ARC");
  const auto entries = ReadIndex(archive);
  ASSERT_EQ(entries.size(), 4u);
  const char* const kStored[] = {"MAIN.MES", "EMPTY.DAT", "B.TXT", "A.TXT"};
  size_t offset = 4 + 4 * arc::kEntrySize;
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].Name(), kStored[i]);
    EXPECT_EQ(entries[i].offset, offset);
    EXPECT_EQ(StoredData(archive, entries[i]), Samples()[i].data) << kStored[i];
    offset += entries[i].size;
  }
  EXPECT_EQ(archive.size(), offset);
  // Scrambled on disk: the first name byte is 'M' ^ 0x4D.
  EXPECT_EQ(archive[4], 'M' ^ arc::kNameMask);

  const auto listed = RunCommand(RunArc, {"list", dir / "OUT.ARC"});
  ASSERT_EQ(listed.code, 0) << listed.err;
  EXPECT_NE(listed.out.find("MAIN.MES"), std::string::npos);
  EXPECT_NE(listed.out.find("50000"), std::string::npos);
  EXPECT_NE(listed.out.find("4 entries, 59002 bytes"), std::string::npos) << listed.out;

  const auto extracted = RunCommand(RunArc, {"extract", dir / "OUT.ARC", "-o", dir / "x"});
  ASSERT_EQ(extracted.code, 0) << extracted.err;
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(ReadFile(dir / ("x/" + std::string(kStored[i]))), Samples()[i].data) << kStored[i];
  }

  // Named entries, matched regardless of case; the others stay in the archive.
  const auto one = RunCommand(RunArc, {"extract", "-o", dir / "y", dir / "OUT.ARC", "b.Txt"});
  ASSERT_EQ(one.code, 0) << one.err;
  EXPECT_EQ(ReadFile(dir / "y/B.TXT"), Bytes("bb"));
  EXPECT_FALSE(std::filesystem::exists(dir / "y/A.TXT"));
  const auto missing =
      RunCommand(RunArc, {"extract", "-o", dir / "z", dir / "OUT.ARC", "b.txt", "c.txt"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("c.txt"), std::string::npos) << missing.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "z/B.TXT"));
}

TEST(ArcPack, CompressedEntries) {
  TempDir dir;
  std::filesystem::create_directories(dir / "in");
  for (const Sample& sample : Samples()) WriteFile(dir / ("in/" + sample.file), sample.data);
  const auto packed =
      RunCommand(RunArc, {"pack", "--lzss", dir / "DATA.ARC", "--from", dir / "in"});
  ASSERT_EQ(packed.code, 0) << packed.err;

  // --from: sorted by file name. Entries hold streams the engine's decoder expands.
  const auto archive = ReadFile(dir / "DATA.ARC");
  const auto entries = ReadIndex(archive);
  ASSERT_EQ(entries.size(), 4u);
  const char* const kSorted[] = {"EMPTY.DAT", "A.TXT", "B.TXT", "MAIN.MES"};
  const size_t kSample[] = {1, 3, 2, 0};
  const auto samples = Samples();
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].Name(), kSorted[i]);
    const auto& plain = samples[kSample[i]].data;
    std::vector<uint8_t> out(plain.size() + 1);
    out.resize(LzssDecoder().Decode(StoredData(archive, entries[i]), out));
    EXPECT_EQ(out, plain) << kSorted[i];
  }
  EXPECT_LT(entries[1].size, 50000u / 2);

  const auto raw = RunCommand(RunArc, {"extract", dir / "DATA.ARC", "-o", dir / "raw"});
  ASSERT_EQ(raw.code, 0) << raw.err;
  EXPECT_EQ(ReadFile(dir / "raw/A.TXT"), StoredData(archive, entries[1]));
  const auto expanded =
      RunCommand(RunArc, {"extract", "--lzss", dir / "DATA.ARC", "-o", dir / "out"});
  ASSERT_EQ(expanded.code, 0) << expanded.err;
  for (const Sample& sample : Samples()) {
    EXPECT_EQ(ReadFile(dir / ("out/" + arc::UpperCased(sample.file))), sample.data) << sample.file;
  }

  // Packing into the folder being packed leaves the old archive out.
  ASSERT_EQ(RunCommand(RunArc, {"pack", dir / "in/SELF.ARC", "--from", dir / "in"}).code, 0);
  ASSERT_EQ(RunCommand(RunArc, {"pack", dir / "in/SELF.ARC", "--from", dir / "in"}).code, 0);
  EXPECT_EQ(ReadIndex(ReadFile(dir / "in/SELF.ARC")).size(), 4u);
}

TEST(ArcPack, NameRules) {
  TempDir dir;
  const std::string twenty = "abcdefghijklmnop.mes";  // 20 bytes
  const std::string twenty_one = "abcdefghijklmnopq.mes";
  WriteFile(dir / twenty, Bytes("x"));
  WriteFile(dir / twenty_one, Bytes("y"));
  std::filesystem::create_directories(dir / "sub");
  WriteFile(dir / "sub/A.TXT", Bytes("1"));
  WriteFile(dir / "a.txt", Bytes("2"));

  ASSERT_EQ(RunCommand(RunArc, {"pack", dir / "OK.ARC", dir / twenty}).code, 0);
  EXPECT_EQ(ReadIndex(ReadFile(dir / "OK.ARC"))[0].Name(), "ABCDEFGHIJKLMNOP.MES");

  const auto long_name =
      RunCommand(RunArc, {"pack", dir / "LONG.ARC", dir / "a.txt", dir / twenty_one});
  EXPECT_EQ(long_name.code, 1);
  EXPECT_NE(long_name.err.find(twenty_one), std::string::npos) << long_name.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "LONG.ARC"));

  const auto twice =
      RunCommand(RunArc, {"pack", dir / "DUP.ARC", dir / "a.txt", dir / "sub/A.TXT"});
  EXPECT_EQ(twice.code, 1);
  EXPECT_NE(twice.err.find("A.TXT"), std::string::npos) << twice.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "DUP.ARC"));

  // A failed pack leaves an existing archive as it was.
  const auto before = ReadFile(dir / "OK.ARC");
  EXPECT_EQ(RunCommand(RunArc, {"pack", dir / "OK.ARC", dir / "a.txt", dir / "nothing.txt"}).code,
            1);
  EXPECT_EQ(ReadFile(dir / "OK.ARC"), before);
}

TEST(ArcPack, ChineseFileNamesRoundTripThroughGbk) {
  TempDir dir;
  const std::string name = "剧本.txt";
  WriteFile(dir / name, Bytes("第一章"));
  ASSERT_EQ(RunCommand(RunArc, {"pack", dir / "CN.ARC", dir / name}).code, 0);
  const auto entries = ReadIndex(ReadFile(dir / "CN.ARC"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name(), gbk::FromUtf8("剧本.TXT"));

  const auto listed = RunCommand(RunArc, {"list", dir / "CN.ARC"});
  EXPECT_NE(listed.out.find("剧本.TXT"), std::string::npos) << listed.out;
  ASSERT_EQ(RunCommand(RunArc, {"extract", dir / "CN.ARC", "-o", dir / "out", "剧本.txt"}).code, 0);
  EXPECT_EQ(ReadFile(dir / "out/剧本.TXT"), Bytes("第一章"));

  // A name GBK cannot hold is refused; one whose GBK second byte is a lower-case letter is
  // stored upper-cased like the engine's lookups, with a note.
  WriteFile(dir / "한.txt", Bytes("k"));
  const auto hangul = RunCommand(RunArc, {"pack", dir / "K.ARC", dir / "한.txt"});
  EXPECT_EQ(hangul.code, 1);
  EXPECT_NE(hangul.err.find("한.txt"), std::string::npos);
  const std::string altered = gbk::ToUtf8("\xB0\x61") + ".txt";
  WriteFile(dir / altered, Bytes("z"));
  const auto noted = RunCommand(RunArc, {"pack", dir / "Z.ARC", dir / altered});
  ASSERT_EQ(noted.code, 0) << noted.err;
  EXPECT_NE(noted.err.find("note"), std::string::npos);
  EXPECT_EQ(ReadIndex(ReadFile(dir / "Z.ARC"))[0].Name(), "\xB0\x41.TXT");
}

TEST(ArcPack, Usage) {
  TempDir dir;
  WriteFile(dir / "a.txt", Bytes("a"));
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},
           {"frobnicate"},
           {"pack"},
           {"pack", dir / "X.ARC"},
           {"pack", dir / "X.ARC", dir / "a.txt", "--from", dir.path().string()},
           {"pack", "--bogus", dir / "X.ARC", dir / "a.txt"},
           {"pack", dir / "X.ARC", "--from"},
           {"list"},
           {"list", "a", "b"},
           {"extract"},
           {"extract", dir / "X.ARC", "-o"}}) {
    const auto result = RunCommand(RunArc, args);
    EXPECT_EQ(result.code, 2) << ::testing::PrintToString(args);
    EXPECT_NE(result.err.find("usage:"), std::string::npos) << ::testing::PrintToString(args);
  }
  for (const char* action : {"pack", "list", "extract"}) {
    const auto help = RunCommand(RunArc, {action, "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find(std::string("talvex-tool arc ") + action), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "X.ARC"));
}

}  // namespace
}  // namespace tvx::tool
