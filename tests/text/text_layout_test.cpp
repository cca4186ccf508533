// Text laid out by scripts: the cursor's advance and wrap inside the window, half-width runs,
// the line-break rule for punctuation, and what measuring mode counts. Plane 0 is held
// against the same glyphs drawn where they belong.
#include <gtest/gtest.h>

#include <string>

#include "tests/script/script_fixture.h"
#include "tests/text/text_expectations.h"

namespace tvx::testing {
namespace {

constexpr uint16_t kOutline = 0x001F;
constexpr uint16_t kFace = 0x7FFF;

class TextLayout : public ScriptTest {
 protected:
  // Runs MAIN.MES after a prologue that sets visible colours and the given window.
  void RunText(const std::string& body, int right = 640, int bottom = 480) {
    Script("MAIN.MES", "SYSCALL 12, " + std::to_string(kOutline) + ", " + std::to_string(kFace) +
                           "\nSET_DIM16 7, 0, " + std::to_string(right) + ", " +
                           std::to_string(bottom) + "\n" + body + "\nEND\n");
    ASSERT_EQ(Run(), 0);
  }
  void ExpectScreen(const ExpectedScreen& expected) {
    EXPECT_EQ(expected.Compare(system_->planes().Plane0()), "");
  }
  uint16_t Word(int k) { return vars().Word(k); }
  static std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  }
};

TEST_F(TextLayout, FortyCharactersFillALineAndTheNextWraps) {
  RunText("TEXT \"" + Repeat("一", 41) + "\"");
  ExpectedScreen expected(kOutline, kFace);
  for (int i = 0; i < 40; ++i) expected.Add("一", 16 * i, 0);  // the 40th at x = 624
  expected.Add("一", 0, 16);
  ExpectScreen(expected);
  EXPECT_EQ(Word(kWordCursorX), 16);
  EXPECT_EQ(Word(kWordCursorY), 16);
}

TEST_F(TextLayout, TheWindowStartsOverAtItsTopLeft) {
  // Window (10, 100)-(58, 132): three cells a line, two lines.
  RunText("SET_DIM16 5, 0, 10, 100\nSET_DIM16 9, 0, 10, 100\nTEXT \"" + Repeat("口", 7) + "\"", 58,
          132);
  ExpectedScreen expected(kOutline, kFace);
  for (int i = 0; i < 6; ++i) expected.Add("口", 10 + 16 * (i % 3), 100 + 16 * (i / 3));
  expected.Add("口", 10, 100);  // drawn over the first, nothing cleared
  ExpectScreen(expected);
  EXPECT_EQ(Word(kWordCursorX), 26);
  EXPECT_EQ(Word(kWordCursorY), 100);
}

TEST_F(TextLayout, HalfWidthRunsAdvanceByHalfAndWrapOnTheFullAdvance) {
  RunText("TEXT_HALF \"ABCDE\"\nNEWLINE\nTEXT_HALF \"x\"", 40);
  ExpectedScreen expected(kOutline, kFace);
  for (int i = 0; i < 4; ++i) expected.Add(static_cast<uint16_t>('A' + i), 8 * i, 0);
  // 32 + 16 passes the right limit 40: E starts the next line.
  expected.Add('E', 0, 16).Add('x', 0, 32);
  ExpectScreen(expected);
}

TEST_F(TextLayout, ClosingPunctuationHangsOnThePreviousLine) {
  // Right limit 320: twenty cells a line.
  RunText("TEXT \"" + Repeat("一", 20) + "。二\"", 320);
  ExpectedScreen expected(kOutline, kFace);
  for (int i = 0; i < 20; ++i) expected.Add("一", 16 * i, 0);
  expected.Add("。", 320, 0).Add("二", 0, 16);
  ExpectScreen(expected);
}

TEST_F(TextLayout, OnlyTheFirstOfTwoClosingMarksIsMoved) {
  RunText("TEXT \"" + Repeat("一", 20) + "。、二\"", 320);
  ExpectedScreen expected(kOutline, kFace);
  for (int i = 0; i < 20; ++i) expected.Add("一", 16 * i, 0);
  expected.Add("。", 320, 0).Add("、", 0, 16).Add("二", 16, 16);
  ExpectScreen(expected);
}

TEST_F(TextLayout, AMoveHoldsOnlyTheNextCharacterInPlaceAlsoAtALineStart) {
  // "。中" begins a line: "。" hangs on the line above, "中" takes the line start. A "、"
  // brought to the next line start by NEWLINE hangs again.
  std::string body = "SET_DIM16 9, 0, 0, 16\nTEXT \"。中\"\nNEWLINE\nTEXT \"、\"\n";
  // A plain character mid-line, then a window one cell wide, where every character starts
  // a line and fills its last cell too: the "、" after "。中" hangs as well.
  body += "SET_DIM16 9, 0, 32, 48\nTEXT \"一\"\n";
  body += "SET_DIM16 7, 0, 16\nSET_DIM16 9, 0, 0, 80\nTEXT \"一。中、\"";
  RunText(body, 320);
  ExpectedScreen expected(kOutline, kFace);
  expected.Add("。", 320, 0).Add("中", 0, 16).Add("、", 320, 16).Add("一", 32, 48);
  expected.Add("一", 0, 80).Add("。", 16, 80).Add("中", 0, 96).Add("、", 16, 96);
  ExpectScreen(expected);
  EXPECT_EQ(Word(kWordCursorX), 0);
  EXPECT_EQ(Word(kWordCursorY), 112);
}

TEST_F(TextLayout, OpeningPunctuationInTheLastCellMovesDown) {
  RunText("TEXT \"" + Repeat("一", 19) + "「二\"", 320);
  ExpectedScreen expected(kOutline, kFace);
  for (int i = 0; i < 19; ++i) expected.Add("一", 16 * i, 0);
  expected.Add("「", 0, 16).Add("二", 16, 16);
  ExpectScreen(expected);
}

TEST_F(TextLayout, EveryClosingMarkHangs) {
  // A plain character mid-line clears the line-break switch, then the mark arrives at a
  // line start.
  std::string body;
  ExpectedScreen expected(kOutline, kFace);
  int y = 0;
  for (const char* mark :
       {"。", "、", "）", "〕", "］", "｝", "〉", "》", "」", "』", "】", "．", "？", "！"}) {
    body += "SET_DIM16 9, 0, 32, " + std::to_string(y) + "\nTEXT \"一\"\n";
    body += "SET_DIM16 9, 0, 0, " + std::to_string(y + 16) + "\nTEXT \"" + mark + "\"\n";
    expected.Add("一", 32, y).Add(mark, 320, y);
    y += 32;
  }
  RunText(body, 320);
  ExpectScreen(expected);
}

TEST_F(TextLayout, EveryOpeningMarkMovesDown) {
  std::string body;
  ExpectedScreen expected(kOutline, kFace);
  int y = 0;
  for (const char* mark : {"（", "〔", "［", "｛", "〈", "《", "「", "『", "【"}) {
    body += "SET_DIM16 9, 0, 32, " + std::to_string(y) + "\nTEXT \"二\"\n";
    body += "SET_DIM16 9, 0, 304, " + std::to_string(y) + "\nTEXT \"" + mark + "\"\n";
    expected.Add("二", 32, y).Add(mark, 0, y + 16);
    y += 32;
  }
  RunText(body, 320);
  ExpectScreen(expected);
}

TEST_F(TextLayout, OtherCharactersStayWhereTheyArrive) {
  // A closing mark mid-line and in the last cell, an opening one at a line start.
  RunText(
      "SET_DIM16 9, 0, 32, 0\nTEXT \"。\"\nSET_DIM16 9, 0, 304, 0\nTEXT \"。\"\n"
      "TEXT \"「\"",
      320);
  ExpectedScreen expected(kOutline, kFace);
  expected.Add("。", 32, 0).Add("。", 304, 0).Add("「", 0, 16);
  ExpectScreen(expected);
}

TEST_F(TextLayout, MeasuringCountsBytesAndDrawsNothing) {
  RunText(R"(
    SET_DIM16 9, 0, 48, 64
    SET_DIM16 2, 0, DIM16[0][2] | 0x400
    TEXT "三个字"
    SET_REG32 A, S32
    SYSCALL 1, 1234
    SET_REG32 B, S32
    SET_DIM16 13, 0, 0x100
    SYSCALL 1, 1234
    TEXT_HALF "abc"
    SET_REG32 C, S32
    SET_DIM16 13, 0, 3
    SYSCALL 1, 0
    SET_REG32 D, S32
    SET_DIM16 2, 0, DIM16[0][2] & 0xFBFF
  )");
  EXPECT_EQ(R32('A'), 6u);
  EXPECT_EQ(R32('B'), 6u + 8u);
  EXPECT_EQ(R32('C'), 6u + 8u + 4u + 3u);
  EXPECT_EQ(R32('D'), 6u + 8u + 4u + 3u + 6u);
  EXPECT_EQ(Word(kWordCursorX), 48);
  EXPECT_EQ(Word(kWordCursorY), 64);
  ExpectScreen(ExpectedScreen(kOutline, kFace));
}

}  // namespace
}  // namespace tvx::testing
