// The text form of animation data: what it builds, every error (named by file, line and
// column, nothing built) and every warning (the data still built).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/anim_source.h"

namespace tvx::tool::anim {
namespace {

using Words = std::vector<uint16_t>;

TEST(AnimSource, BuildsFramesAndProgramsFromNamesAndNumbers) {
  const SourceResult result = ParseSource(
      "\xEF\xBB\xBF# a comment line\r\n"
      "frame 20 copy 0 0 64 48 288 200   # a comment after a frame\r\n"
      "FRAME 0x15 blink Keyed 64 0 64 48 288 200\n"
      "frame 40 swap 1 2 3 4 5 6\n"
      "frame 41 0x25 7 8 9 10 11 12\n"
      "\n"
      "slot 0 0: 20 wait 10 blink WAIT 10 restart\n"
      "slot 9 9:\n"
      "  later\n"
      "  loop 3 20 wait 2 21 wait 2 next\n"
      "  loop2 0x2 nothing next2 end-if-once end\n"
      "slot 1 2: 0 1 2 3 20 65535\n"
      "frame 50 later composite 0 0 1 1 0 0\n"
      "frame 60 烛光 keyed 0 0 1 1 0 0\n"
      "slot 3 3: 烛光 end\n",
      "a.txt");
  ASSERT_TRUE(result.ok()) << result.errors.front();
  ASSERT_EQ(result.data.frames.size(), 6u);
  EXPECT_EQ(result.data.frames[0], (Frame{20, 0x10, 0, 0, 64, 48, 288, 200, 0, 0}));
  EXPECT_EQ(result.data.frames[1], (Frame{21, 0x20, 64, 0, 64, 48, 288, 200, 0, 0}));
  EXPECT_EQ(result.data.frames[2], (Frame{40, 0x30, 1, 2, 3, 4, 5, 6, 0, 0}));
  EXPECT_EQ(result.data.frames[3], (Frame{41, 0x25, 7, 8, 9, 10, 11, 12, 0, 0}));
  EXPECT_EQ(result.data.frames[4].number, 50);
  EXPECT_EQ(result.data.frames[4].type, 0x40);
  // Programs in the order they are written; a name may be used before its frame line.
  ASSERT_EQ(result.data.programs.size(), 4u);
  EXPECT_EQ(result.data.programs[0], (Program{0, 0, Words{20, 2, 10, 21, 2, 10, 3}}));
  EXPECT_EQ(result.data.programs[1],
            (Program{9, 9, Words{50, 5, 3, 20, 2, 2, 21, 2, 2, 6, 7, 2, 0, 8, 1, 4}}));
  EXPECT_EQ(result.data.programs[2], (Program{1, 2, Words{0, 1, 2, 3, 20, 65535}}));
  EXPECT_EQ(result.data.programs[3], (Program{3, 3, Words{60, 4}}));
  // Only the composite frame is worth a warning here.
  ASSERT_EQ(result.warnings.size(), 1u);
  EXPECT_EQ(result.warnings[0].rfind("a.txt:13:16: warning: frame 50:", 0), 0u)
      << result.warnings[0];

  // Nothing at all is an empty block.
  const SourceResult empty = ParseSource("", "e.txt");
  EXPECT_TRUE(empty.ok());
  EXPECT_TRUE(empty.data.frames.empty());
  EXPECT_TRUE(empty.data.programs.empty());
}

TEST(AnimSource, EveryErrorNamesFileLineColumnAndBuildsNothing) {
  struct Case {
    std::string source;
    std::string error;  // the whole first message
  };
  const std::string frame = "frame 20 copy 0 0 4 4 0 0\n";
  const std::vector<Case> cases = {
      {"frame\n", "f.txt:1:6: expected a frame number (20-65534)"},
      {"frame x copy 0 0 4 4 0 0\n", "f.txt:1:7: expected a frame number (20-65534), not 'x'"},
      {"frame 12 copy 0 0 4 4 0 0\n",
       "f.txt:1:7: frame numbers run from 20 to 65534: the record of a lower one would lie in "
       "the offset table"},
      {"frame 65535 copy 0 0 4 4 0 0\n", "f.txt:1:7: frame numbers run from 20 to 65534"},
      {"frame 5000000000 copy 0 0 4 4 0 0\n", "f.txt:1:7: frame numbers run from 20 to 65534"},
      {"frame 20 bad.name copy 0 0 4 4 0 0\n",
       "f.txt:1:10: 'bad.name' is no frame name: names are letters, digits, '_' and '-', "
       "starting with a letter or '_'"},
      {"frame 20 wait copy 0 0 4 4 0 0\n",
       "f.txt:1:10: 'wait' is a word of the format, not a name"},
      {"frame 20\n",
       "f.txt:1:9: expected the frame's type: copy, keyed, swap, composite or a number 0-255"},
      {"frame 20 256 0 0 4 4 0 0\n",
       "f.txt:1:10: expected the frame's type: copy, keyed, swap, composite or a number 0-255, "
       "not '256'"},
      {"frame 20 copy 0 0 4 4 0\n", "f.txt:1:24: expected the destination y (0-65535)"},
      {"frame 20 copy 0 0 4 70000 0 0\n", "f.txt:1:21: the height 70000 is larger than 65535"},
      {"frame 20 copy 0 0x 4 4 0 0\n", "f.txt:1:17: expected the source y (0-65535), not '0x'"},
      {"frame 20 copy 0 0 4 4 0 0 0\n", "f.txt:1:27: unexpected '0' after the frame's destination"},
      {frame + "frame 20 keyed 0 0 4 4 0 0\n",
       "f.txt:2:7: frame 20 is defined twice (first on line 1)"},
      {"frame 20 a copy 0 0 4 4 0 0\nframe 21 a copy 0 0 4 4 0 0\n",
       "f.txt:2:10: frame name 'a' is given twice (first on line 1)"},
      {frame + "20 end\n",
       "f.txt:2:1: '20' is outside any slot: a line begins with 'frame' or 'slot'"},
      {"slot\n", "f.txt:1:5: expected the slot's row (0-9)"},
      {"slot 10 0: end\n", "f.txt:1:6: the slot's row 10 is larger than 9"},
      {"slot 0 x: end\n", "f.txt:1:8: expected the slot's column (0-9), not 'x'"},
      {"slot 0 0 end\n", "f.txt:1:10: expected ':' after the slot's row and column"},
      {"slot 0 0: end\nslot 0 0: end\n", "f.txt:2:1: slot 0 0 is given twice (first on line 1)"},
      {"slot 0 0: end :\n", "f.txt:1:15: unexpected ':' in a program"},
      {"slot 0 0: 65536 end\n", "f.txt:1:11: a command or frame number 65536 is larger than 65535"},
      {"slot 0 0: wait\n", "f.txt:1:15: expected a number of ticks after 'wait' (0-65535)"},
      {"slot 0 0: loop end\n",
       "f.txt:1:16: expected a number of passes after 'loop' (0-65535), not 'end'"},
      {"slot 0 0: loop2 1e3 next2 end\n",
       "f.txt:1:17: expected a number of passes after 'loop2' (0-65535), not '1e3'"},
      {"slot 0 0: blink end\n", "f.txt:1:11: 'blink' is neither a command nor a frame name"},
      // Columns count characters: the letters of a UTF-8 name before the word count once.
      {"slot 0 0: 灯塔  blink\tend\n", "f.txt:1:11: '灯塔' is neither a command nor a frame name"},
      {"frame 20 灯塔 copy 0 0 4 4 0 x\n",
       "f.txt:1:28: expected the destination y (0-65535), not 'x'"},
      {"slot 0 0:\nslot 0 1: end\n", "f.txt:1:1: slot 0 0 has no commands"},
      {frame + "slot 0 0: 20 end\n  20\n",
       "f.txt:3:3: '20' follows the end of slot 0 0's program and would never run"},
      {"slot 0 0: restart nothing\n",
       "f.txt:1:19: 'nothing' follows the end of slot 0 0's program and would never run"},
      {"slot 0 0: 12 end\n",
       "f.txt:1:11: frame numbers run from 20 to 65534: the record of frame 12 would lie in the "
       "offset table"},
      {"slot 0 0: 0 5\n", "f.txt:1:13: '5' (loop) needs its operand after it"},
  };
  for (const Case& c : cases) {
    const SourceResult result = ParseSource(c.source, "f.txt");
    ASSERT_FALSE(result.ok()) << c.source;
    EXPECT_EQ(result.errors.front(), c.error) << c.source;
    EXPECT_TRUE(result.data.frames.empty() && result.data.programs.empty()) << c.source;
  }

  // Every error is reported, in source order, and one bad slot line does not bring errors
  // about the lines of its program.
  const SourceResult many = ParseSource(
      "slot 0 0: nope end\n"
      "frame 9 copy 0 0 1 1 0 0\n"
      "slot 12 0: end\n"
      "  20 wait x\n"
      "slot 0 1: wait 2x end\n"
      "slot 0 2: wiat 3 end\n",  // not also "'end' follows the end" of a restart
      "m.txt");
  ASSERT_EQ(many.errors.size(), 5u);
  EXPECT_EQ(many.errors[0].rfind("m.txt:1:11: ", 0), 0u) << many.errors[0];
  EXPECT_EQ(many.errors[1].rfind("m.txt:2:7: ", 0), 0u) << many.errors[1];
  EXPECT_EQ(many.errors[2].rfind("m.txt:3:6: ", 0), 0u) << many.errors[2];
  EXPECT_EQ(many.errors[3].rfind("m.txt:5:16: ", 0), 0u) << many.errors[3];
  EXPECT_EQ(many.errors[4].rfind("m.txt:6:11: ", 0), 0u) << many.errors[4];

  // Columns count characters, not bytes.
  const SourceResult wide = ParseSource("# 烛台\nslot 0 0: 烛台 end\n", "w.txt");
  ASSERT_FALSE(wide.ok());
  EXPECT_EQ(wide.errors.front(), "w.txt:2:11: '烛台' is neither a command nor a frame name");
}

TEST(AnimSource, WarningsNameWhatTheEnginePlaysDifferentlyAndStillBuild) {
  struct Case {
    std::string source;
    std::string warning;
  };
  const std::string frames =
      "frame 20 copy 0 0 4 4 0 0\n"
      "frame 22 copy 4 0 4 4 0 0\n";
  const std::vector<Case> cases = {
      {frames + "slot 0 0: 20 wait 2 22\n",
       "f.txt:3:1: warning: slot 0 0 has no 'end' or 'restart': the engine runs on into "
       "whatever follows its program"},
      {"frame 20 copy 990 0 11 4 0 0\n",
       "f.txt:1:15: warning: frame 20: the source block (990, 0) + 11 x 4 reaches outside plane "
       "1 (1000 x 1760)"},
      {"frame 20 copy 0 1750 4 11 0 0\n",
       "f.txt:1:15: warning: frame 20: the source block (0, 1750) + 4 x 11 reaches outside "
       "plane 1 (1000 x 1760)"},
      {"frame 20 copy 0 0 64 48 600 0\n",
       "f.txt:1:25: warning: frame 20: the destination (600, 0) + 64 x 48 reaches outside the "
       "640 x 480 screen"},
      {"frame 20 keyed 0 0 64 48 0 440\n",
       "f.txt:1:26: warning: frame 20: the destination (0, 440) + 64 x 48 reaches outside the "
       "640 x 480 screen"},
      {frames + "slot 0 0: 21 end\n",
       "f.txt:3:11: warning: frame 21 has no record: the engine finds zeros there and draws "
       "nothing"},
      {frames + "slot 0 0: 23 end\n",
       "f.txt:3:11: warning: frame 23 has no record: its place is past the frame records, where "
       "the engine reads the programs or what follows them"},
      {"frame 20 composite 0 0 4 4 0 0\n",
       "f.txt:1:10: warning: frame 20: the engine draws nothing for type composite (it has no "
       "background plane to compose with)"},
      {"frame 20 0x4F 0 0 4 4 0 0\n",
       "f.txt:1:10: warning: frame 20: the engine draws nothing for type 0x4F (it has no "
       "background plane to compose with)"},
      {"frame 20 0x05 0 0 4 4 0 0\n",
       "f.txt:1:10: warning: frame 20: the engine draws nothing for type 0x05 (copy 0x10, "
       "keyed 0x20 and swap 0x30 are drawn)"},
      {"frame 20 0x50 0 0 4 4 0 0\n",
       "f.txt:1:10: warning: frame 20: the engine draws nothing for type 0x50 (copy 0x10, "
       "keyed 0x20 and swap 0x30 are drawn)"},
      {frames + "slot 0 0: 20 next end\n",
       "f.txt:3:14: warning: 'next' without a 'loop' before it"},
      {frames + "slot 0 0: loop 2 20 next next end\n",
       "f.txt:3:26: warning: 'next' without a 'loop' before it"},
      {frames + "slot 0 0: 20 next2 end\n",
       "f.txt:3:14: warning: 'next2' without a 'loop2' before it"},
      {frames + "slot 0 0: loop 2 loop 3 20 next end\n",
       "f.txt:3:18: warning: a 'loop' inside a 'loop' replaces it: nest the inner one with "
       "'loop2' and 'next2'"},
      {frames + "slot 0 0: loop2 2 loop2 3 20 next2 end\n",
       "f.txt:3:19: warning: a 'loop2' inside a 'loop2' replaces it"},
      {frames + "slot 0 0: loop 0 20 next end\n",
       "f.txt:3:16: warning: 'loop 0' makes 65536 passes: the count goes round through 65535"},
  };
  for (const Case& c : cases) {
    const SourceResult result = ParseSource(c.source, "f.txt");
    ASSERT_TRUE(result.ok()) << c.source << result.errors.front();
    ASSERT_EQ(result.warnings.size(), 1u) << c.source;
    EXPECT_EQ(result.warnings.front(), c.warning) << c.source;
    EXPECT_FALSE(result.data.frames.empty() && result.data.programs.empty()) << c.source;
  }

  // Frames on the very edges, loops nested the right way round, programs ending either way:
  // nothing to warn about.
  const SourceResult clean = ParseSource(
      "frame 20 copy 936 1712 64 48 576 432\n"
      "frame 21 swap 0 0 640 480 0 0\n"
      "slot 0 0: loop 2 loop2 3 20 next2 21 next end\n"
      "slot 0 1: 20 1 21 restart\n"
      "slot 0 2: 20 65535\n",
      "c.txt");
  ASSERT_TRUE(clean.ok());
  EXPECT_TRUE(clean.warnings.empty()) << clean.warnings.front();
}

}  // namespace
}  // namespace tvx::tool::anim
