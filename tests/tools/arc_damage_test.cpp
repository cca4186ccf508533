// Archives come from anywhere: damaged or hostile ones are reported, never trusted.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/archive_format.h"
#include "resources/byte_order.h"
#include "tests/tools/tool_test_support.h"
#include "tools/arc_command.h"

namespace tvx::tool {
namespace {

using test::Bytes;
using test::ReadFile;
using test::RunCommand;
using test::TempDir;
using test::WriteFile;

struct RawEntry {
  std::string name;
  std::vector<uint8_t> data;
  // When set, the entry claims these instead of where its data really is.
  std::optional<uint32_t> size = std::nullopt;
  std::optional<uint32_t> offset = std::nullopt;
};

// An archive written byte by byte, so that it can be wrong in any way.
std::vector<uint8_t> BuildArchive(const std::vector<RawEntry>& raw, uint32_t count) {
  std::vector<uint8_t> archive(4 + raw.size() * arc::kEntrySize);
  bytes::StoreLe32(archive, 0, count);
  std::span<uint8_t> index = std::span(archive).subspan(4);
  std::vector<arc::Entry> entries;
  for (const RawEntry& item : raw) {
    arc::Entry entry;
    std::copy_n(item.name.begin(), std::min(item.name.size(), arc::kNameSize), entry.name.begin());
    entry.offset = item.offset.value_or(static_cast<uint32_t>(archive.size()));
    entry.size = item.size.value_or(static_cast<uint32_t>(item.data.size()));
    archive.insert(archive.end(), item.data.begin(), item.data.end());
    entries.push_back(entry);
  }
  index = std::span(archive).subspan(4, raw.size() * arc::kEntrySize);
  for (size_t i = 0; i < entries.size(); ++i) arc::WriteEntry(index, i, entries[i]);
  arc::ScrambleIndex(index);
  return archive;
}

std::vector<uint8_t> BuildArchive(const std::vector<RawEntry>& raw) {
  return BuildArchive(raw, static_cast<uint32_t>(raw.size()));
}

TEST(ArcDamage, BrokenIndexesAreReported) {
  TempDir dir;
  const std::vector<RawEntry> good = {{"A.TXT", Bytes("alpha")}, {"B.TXT", Bytes("beta")}};
  std::vector<uint8_t> truncated = BuildArchive(good);
  truncated.resize(4 + arc::kEntrySize + 10);  // the second entry is cut
  const struct {
    const char* file;
    std::vector<uint8_t> bytes;
  } kCases[] = {
      {"empty.arc", {}},
      {"short.arc", {1, 0}},
      {"truncated.arc", truncated},
      {"huge-count.arc", BuildArchive(good, 0xFFFFFFFF)},
      {"count-plus-one.arc", BuildArchive(good, 3)},
  };
  for (const auto& c : kCases) {
    WriteFile(dir / c.file, c.bytes);
    for (const char* action : {"list", "extract"}) {
      std::vector<std::string> args = {action, dir / c.file};
      if (std::string_view(action) == "extract") args.insert(args.end(), {"-o", dir / "out"});
      const auto result = RunCommand(RunArc, args);
      EXPECT_EQ(result.code, 1) << action << " " << c.file;
      EXPECT_NE(result.err.find(c.file), std::string::npos) << result.err;
    }
  }
  WriteFile(dir / "nothing-inside.arc", BuildArchive({}));
  const auto empty = RunCommand(RunArc, {"list", dir / "nothing-inside.arc"});
  EXPECT_EQ(empty.code, 0) << empty.err;
  EXPECT_NE(empty.out.find("0 entries, 0 bytes"), std::string::npos) << empty.out;
  const auto absent = RunCommand(RunArc, {"list", dir / "absent.arc"});
  EXPECT_EQ(absent.code, 1);
  EXPECT_NE(absent.err.find("absent.arc"), std::string::npos);
}

TEST(ArcDamage, EntriesOutsideTheFileAreSkipped) {
  TempDir dir;
  WriteFile(dir / "bad.arc", BuildArchive({{"GOOD.TXT", Bytes("fine")},
                                           {"LONG.TXT", Bytes("xy"), 1000, std::nullopt},
                                           {"FAR.TXT", Bytes("z"), std::nullopt, 0xFFFFFFF0},
                                           {"WRAP.TXT", {}, 0xFFFFFFFF, 0xFFFFFFFF}}));
  const auto listed = RunCommand(RunArc, {"list", dir / "bad.arc"});
  EXPECT_EQ(listed.code, 1);
  EXPECT_NE(listed.out.find("GOOD.TXT"), std::string::npos);
  EXPECT_NE(listed.out.find("damaged"), std::string::npos) << listed.out;
  EXPECT_NE(listed.err.find("3 damaged entries"), std::string::npos) << listed.err;

  const auto extracted = RunCommand(RunArc, {"extract", dir / "bad.arc", "-o", dir / "out"});
  EXPECT_EQ(extracted.code, 1);
  EXPECT_EQ(ReadFile(dir / "out/GOOD.TXT"), Bytes("fine"));
  for (const char* name : {"LONG.TXT", "FAR.TXT", "WRAP.TXT"}) {
    EXPECT_NE(extracted.err.find(name), std::string::npos) << extracted.err;
    EXPECT_FALSE(std::filesystem::exists(dir / (std::string("out/") + name)));
  }
}

TEST(ArcDamage, NamesThatWouldLeaveTheFolderAreRefused) {
  TempDir dir;
  std::filesystem::create_directories(dir / "out/sub");
  WriteFile(dir / "evil.arc", BuildArchive({{"../ESCAPED", Bytes("1")},
                                            {"SUB/INNER", Bytes("2")},
                                            {"..", Bytes("3")},
                                            {".", Bytes("4")},
                                            {"..\\BACK", Bytes("5")},
                                            {"", Bytes("6")},
                                            {"/ABSOLUTE", Bytes("7")},
                                            {"SAFE.TXT", Bytes("8")},
                                            {"safe.txt", Bytes("9")}}));
  const auto result = RunCommand(RunArc, {"extract", dir / "evil.arc", "-o", dir / "out"});
  EXPECT_EQ(result.code, 1);
  // Of two entries with one name only the first, the one the engine finds, is written.
  EXPECT_EQ(ReadFile(dir / "out/SAFE.TXT"), Bytes("8"));
  EXPECT_NE(result.err.find("second entry named \"safe.txt\""), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "ESCAPED"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out/sub/INNER"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out/..\\BACK"));
  EXPECT_FALSE(std::filesystem::exists("/ABSOLUTE"));
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
    files += entry.is_regular_file() ? 1 : 0;
  }
  EXPECT_EQ(files, 2u);  // the archive and SAFE.TXT
  for (const char* name : {"../ESCAPED", "SUB/INNER", "..\\BACK", "/ABSOLUTE"}) {
    EXPECT_NE(result.err.find(name), std::string::npos) << result.err;
  }
}

TEST(ArcDamage, ControlCharactersInNamesAreShownEscapedAndNeverMadeIntoFileNames) {
  TempDir dir;
  WriteFile(dir / "esc.arc", BuildArchive({{"\x1b[2JX.TXT", Bytes("1")},
                                           {"TAB\tB.TXT", Bytes("2")},
                                           {"OK.TXT", Bytes("3")}}));
  const auto listed = RunCommand(RunArc, {"list", dir / "esc.arc"});
  EXPECT_EQ(listed.code, 0) << listed.err;
  EXPECT_EQ(listed.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(listed.out.find('\t'), std::string::npos);
  EXPECT_NE(listed.out.find("\\x1b[2JX.TXT"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("TAB\\x09B.TXT"), std::string::npos) << listed.out;

  // Refused one by one, like names that would leave the folder; the rest are written.
  const auto result = RunCommand(RunArc, {"extract", dir / "esc.arc", "-o", dir / "out"});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.err, "arc extract: " + (dir / "esc.arc") +
                            ": refusing entry \"\\x1b[2JX.TXT\": its name holds control "
                            "characters\narc extract: " +
                            (dir / "esc.arc") +
                            ": refusing entry \"TAB\\x09B.TXT\": its name holds control "
                            "characters\n");
  EXPECT_EQ(ReadFile(dir / "out/OK.TXT"), Bytes("3"));
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "out")) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1u);
}

TEST(ArcDamage, ExpandingWhatIsNotCompressedStaysBounded) {
  TempDir dir;
  // Plain text read as LZSS: whatever it expands to, extraction finishes and writes a file.
  WriteFile(dir / "plain.arc", BuildArchive({{"T.TXT", test::SampleText(4000)}}));
  const auto result =
      RunCommand(RunArc, {"extract", "--lzss", dir / "plain.arc", "-o", dir / "out"});
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "out/T.TXT"));
}

}  // namespace
}  // namespace tvx::tool
