// The animation data block: its layout, build -> show -> build giving the same bytes, and
// showing blocks the tool did not make (short, damaged, laid out otherwise) without reading
// outside them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/byte_order.h"
#include "tests/tools/tool_test_support.h"
#include "tools/anim_block.h"
#include "tools/anim_source.h"
#include "tools/anim_text.h"

namespace tvx::tool::anim {
namespace {

std::vector<uint8_t> Build(const std::string& source) {
  const SourceResult result = ParseSource(source, "in.txt");
  EXPECT_TRUE(result.ok()) << source << (result.ok() ? "" : result.errors.front());
  return WriteBlock(result.data);
}

std::string Show(std::span<const uint8_t> block, std::vector<std::string>* notes = nullptr) {
  const BlockReading reading = ReadBlock(block);
  if (notes) *notes = reading.notes;
  return FormatSource(reading.data, reading.notes, "test");
}

uint16_t Word(const std::vector<uint8_t>& block, size_t at) {
  return bytes::LoadLe16(block, at);
}

TEST(AnimBlock, LaysOutTableFramesThenPrograms) {
  const std::vector<uint8_t> block = Build(
      "frame 21 keyed 64 0 64 48 288 200\n"
      "frame 20 copy 1 2 3 4 5 6\n"
      "slot 3 4: 20 wait 10 21 restart\n"
      "slot 0 1: loop 3 20 next end\n");
  // The table and the records of frames 20 and 21 (402 + 2 × 17), then the programs in the
  // order they were written.
  ASSERT_EQ(block.size(), 436u + 2 * 5 + 2 * 5);
  EXPECT_EQ(Word(block, 0), 4);  // "end", for slots without a program
  EXPECT_EQ(bytes::LoadLe32(block, 2 + 4 * 34), 436u);
  EXPECT_EQ(bytes::LoadLe32(block, 2 + 4 * 1), 446u);
  for (size_t slot = 0; slot < 100; ++slot) {
    if (slot != 34 && slot != 1) {
      EXPECT_EQ(bytes::LoadLe32(block, 2 + 4 * slot), 0u) << slot;
    }
  }
  EXPECT_EQ(block[402], 0x10);
  const std::vector<uint16_t> frame20 = {1, 2, 3, 4, 5, 6, 0, 0};
  for (size_t i = 0; i < frame20.size(); ++i) EXPECT_EQ(Word(block, 403 + 2 * i), frame20[i]);
  EXPECT_EQ(block[419], 0x20);
  EXPECT_EQ(Word(block, 420), 64);
  EXPECT_EQ(Word(block, 428), 288);
  const std::vector<uint16_t> programs = {20, 2, 10, 21, 3, 5, 3, 20, 6, 4};
  for (size_t i = 0; i < programs.size(); ++i) EXPECT_EQ(Word(block, 436 + 2 * i), programs[i]);

  // Frames not given are zero records up to the highest one; without frames the programs
  // follow the table.
  const std::vector<uint8_t> gap = Build("frame 30 copy 1 1 1 1 1 1\n");
  ASSERT_EQ(gap.size(), 62u + 17 * 31);
  for (size_t at = 402; at < 62 + 17 * 30; ++at) EXPECT_EQ(gap[at], 0) << at;
  const std::vector<uint8_t> bare = Build("slot 9 9: end\n");
  ASSERT_EQ(bare.size(), 404u);
  EXPECT_EQ(bytes::LoadLe32(bare, 2 + 4 * 99), 402u);
}

TEST(AnimBlock, BuildShowBuildGivesTheSameBytes) {
  const std::vector<std::string> sources = {
      // The example of the documentation, with names.
      "frame 20 flame1 keyed 0 0 24 40 300 180\n"
      "frame 21 flame2 keyed 24 0 24 40 300 180\n"
      "frame 30 eyes-open copy 0 40 48 16 420 260\n"
      "frame 31 eyes-shut copy 48 40 48 16 420 260\n"
      "slot 0 0: flame1 wait 4 flame2 wait 4 restart\n"
      "slot 0 1: eyes-open wait 120 loop 2 eyes-shut wait 6 eyes-open wait 6 next restart\n",
      // Every command, numeric types, programs without an end running on into the next one
      // (and the last to the end of the block), a frame used without a record.
      "frame 20 0x00 0 0 0 0 0 0\n"
      "frame 22 0x5A 9 9 9 9 9 9\n"
      "frame 23 swap 0 0 16 16 10 10\n"
      "slot 5 5: nothing end-if-once wait 0 loop 1 loop2 65535 next2 next 20 65535\n"
      "slot 0 0: 23 wait 3 21\n"
      "slot 9 0: 1 1 1 23 restart\n"
      "slot 2 7: 22 wait 1\n",
      // An unused highest frame whose record is all zero still decides where programs begin.
      "frame 20 copy 1 1 1 1 1 1\n"
      "frame 40 0 0 0 0 0 0 0\n"
      "slot 1 1: 20 end\n",
      // A long program, shown on several lines.
      "frame 20 copy 0 0 8 8 0 0\n"
      "frame 65534 copy 0 0 8 8 8 8\n"
      "slot 4 4: " +
          [] {
            std::string program;
            for (int i = 0; i < 60; ++i) program += "20 wait 1 65534 wait 2 ";
            return program;
          }() +
          "restart\n",
      // Frames only; nothing at all.
      "frame 25 keyed 1 2 3 4 5 6\n",
      "",
  };
  for (const std::string& source : sources) {
    const std::vector<uint8_t> block = Build(source);
    std::vector<std::string> notes;
    const std::string text = Show(block, &notes);
    const SourceResult again = ParseSource(text, "shown.txt");
    ASSERT_TRUE(again.ok()) << text << again.errors.front();
    EXPECT_EQ(WriteBlock(again.data), block) << source << "\n---\n" << text;
  }

  // Frames and commands come back by number and name.
  const std::string text = Show(Build(sources[0]));
  EXPECT_NE(text.find("frame 20 keyed 0 0 24 40 300 180\n"), std::string::npos) << text;
  EXPECT_NE(text.find("slot 0 1: 30 wait 120 loop 2 31 wait 6 30 wait 6 next restart\n"),
            std::string::npos)
      << text;
}

TEST(AnimBlock, ShowsForeignAndDamagedBlocksWithoutReadingOutside) {
  // A block laid out otherwise: programs right after the table, frame 100's record after
  // them, two slots sharing a program, bytes after an end, a record the engine would read
  // from the programs, and a frame whose record is past the end.
  std::vector<uint8_t> block(62 + 17 * 101 + 2, 0);
  const std::vector<uint16_t> program = {100, 2, 5, 60, 4, 99, 99};  // 60 is inside it
  bytes::StoreLe32(block, 2 + 4 * 7, 402);
  bytes::StoreLe32(block, 2 + 4 * 8, 402);
  for (size_t i = 0; i < program.size(); ++i) bytes::StoreLe16(block, 402 + 2 * i, program[i]);
  block[62 + 17 * 100] = 0x21;
  bytes::StoreLe16(block, 62 + 17 * 100 + 1, 7);
  bytes::StoreLe16(block, 62 + 17 * 100 + 13, 0xBEEF);  // a field the engine ignores
  // A program using frames whose records are zeros or past the end; one cut before a frame
  // number inside the table; one whose operand would come from beyond the block.
  const std::vector<uint16_t> second = {70, 500, 3};
  bytes::StoreLe32(block, 2 + 4 * 9, 430);
  for (size_t i = 0; i < second.size(); ++i) bytes::StoreLe16(block, 430 + 2 * i, second[i]);
  bytes::StoreLe32(block, 2 + 4 * 10, 436);
  bytes::StoreLe16(block, 436, 21);
  bytes::StoreLe16(block, 438, 15);
  bytes::StoreLe32(block, 2 + 4 * 11, static_cast<uint32_t>(block.size() - 2));
  bytes::StoreLe16(block, block.size() - 2, 2);
  bytes::StoreLe32(block, 2 + 4 * 12, 0xFFFFFFF0u);  // past the end

  std::vector<std::string> notes;
  const std::string text = Show(block, &notes);
  EXPECT_NE(text.find("frame 100 0x21 7 0 0 0 0 0  # followed by 48879 0"), std::string::npos)
      << text;
  EXPECT_NE(text.find("slot 0 7: 100 wait 5 60 end\nslot 0 8: 100 wait 5 60 end\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("slot 0 9: 70 500 restart\n"), std::string::npos) << text;
  EXPECT_NE(text.find("slot 1 0: 21\n"), std::string::npos) << text;
  const std::vector<std::string> expected = {
      "slot 1 0: shown up to command 15 at offset 438, which the engine takes as a frame whose "
      "record lies in the offset table",
      "slot 1 1: shown up to command 2 at offset 1779, whose operand lies beyond the program",
      "slot 1 2: its program would begin at offset 4294967280, past the end of the block",
      "frame 21: its record at offset 419 overlaps the programs, which the engine then reads as "
      "a record",
      "frame 60: its record at offset 1082 is all zero: it draws nothing",
      "frame 70: its record at offset 1252 is all zero: it draws nothing",
      "frame 500: its record would lie past the end of the block (offset 8562)",
  };
  EXPECT_EQ(notes, expected);
  for (const std::string& note : expected)
    EXPECT_NE(text.find("# note: " + note + "\n"), std::string::npos) << note;
  // What is shown builds, into a block laid out the tool's way.
  const SourceResult rebuilt = ParseSource(text, "shown.txt");
  ASSERT_TRUE(rebuilt.ok()) << rebuilt.errors.front();
  EXPECT_EQ(rebuilt.data.frames.size(), 1u);
  EXPECT_EQ(rebuilt.data.programs.size(), 4u);

  // Short blocks: nothing, a table cut short, a table with a program in its last bytes.
  EXPECT_EQ(
      ReadBlock({}).notes,
      std::vector<std::string>{"the block holds 0 bytes, fewer than the 402 of its offset table"});
  std::vector<uint8_t> cut(100, 0);
  bytes::StoreLe32(cut, 2, 98);
  bytes::StoreLe16(cut, 98, 3);  // also the first half of slot 24's entry, which is not read
  const BlockReading reading = ReadBlock(cut);
  ASSERT_EQ(reading.data.programs.size(), 1u);
  EXPECT_EQ(reading.data.programs[0], (Program{0, 0, {3}}));

  // Any bytes at all: what is shown always builds.
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    std::vector<uint8_t> noise = test::RandomBytes(seed * 7 % 1500, seed);
    // Offsets that point inside the block, so that programs are read.
    for (size_t slot = 0; slot < 100 && 2 + 4 * slot + 4 <= noise.size(); slot += 1 + seed % 7)
      bytes::StoreLe32(noise, 2 + 4 * slot, noise[2 + 4 * slot] * 5 % (noise.size() + 1));
    const std::string shown = Show(noise);
    const SourceResult built = ParseSource(shown, "noise.txt");
    ASSERT_TRUE(built.ok()) << shown << built.errors.front();
  }
}

}  // namespace
}  // namespace tvx::tool::anim
