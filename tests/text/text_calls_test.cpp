// The text system calls: numbers in their formats, the text colours, the glyph font, and
// which text output reaches the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/script/script_fixture.h"
#include "tests/text/text_expectations.h"

namespace tvx::testing {
namespace {

constexpr uint16_t kOutline = 0x001F;
constexpr uint16_t kFace = 0x7FFF;

class TextCalls : public ScriptTest {
 protected:
  void RunText(const std::string& body) {
    Script("MAIN.MES", "SYSCALL 12, " + std::to_string(kOutline) + ", " + std::to_string(kFace) +
                           "\n" + body + "\nEND\n");
    ASSERT_EQ(Run(), 0);
  }
  void ExpectScreen(const ExpectedScreen& expected) {
    EXPECT_EQ(expected.Compare(system_->planes().Plane0()), "");
  }
};

TEST_F(TextCalls, NumbersTakeAsManyPlacesAsTheFormatSays) {
  RunText(R"(
    SYSCALL 1, 1234
    NEWLINE
    SYSCALL 1, 0
    NEWLINE
    SET_DIM16 13, 0, 3
    SYSCALL 1, 0
    NEWLINE
    SYSCALL 1, 98765
    NEWLINE
    SET_DIM16 13, 0, 6
    SYSCALL 1, 42
    NEWLINE
    SET_DIM16 13, 0, 0x100
    SYSCALL 1, 907
  )");
  ExpectedScreen expected(kOutline, kFace);
  auto digits = [&](const std::string& utf8, int y, int advance) {
    // Each character of `utf8` is one digit glyph.
    const std::string gbk = gbk::FromUtf8(utf8);
    const size_t step = advance == 16 ? 2 : 1;
    for (size_t i = 0; i < gbk.size(); i += step)
      expected.Add(CodeOf(gbk::ToUtf8(gbk.substr(i, step))), static_cast<int>(i / step) * advance,
                   y);
  };
  digits("１２３４", 0, 16);
  digits("０", 16, 16);            // zero with format 0: one digit
  digits("０００", 32, 16);        // format 3: three zeros
  digits("７６５", 48, 16);        // format 3 keeps the low three places
  digits("００００４２", 64, 16);  // six places: a leading zero before the five
  digits("907", 80, 8);            // single-byte digits, half advance
  ExpectScreen(expected);
}

TEST_F(TextCalls, DoubleByteDigitsAreTheFullWidthDigits) {
  RunText("SYSCALL 1, 7\nSET_DIM16 13, 0, 2\nSYSCALL 1, 39");
  ExpectedScreen expected(kOutline, kFace);
  expected.Add("７", 0, 0).Add("３", 16, 0).Add("９", 32, 0);
  ExpectScreen(expected);
}

TEST_F(TextCalls, ValuesFromOneHundredThousandSplitIntoFivePlaces) {
  // The top place takes everything above 9999: 123456 is 12, 3, 4, 5, 6.
  RunText(R"(
    SYSCALL 1, 123456
    SET_REG16 A, DIM16[0][9]
    SET_DIM16 13, 0, 0x100
    SYSCALL 1, 100000
    SET_DIM16 2, 0, DIM16[0][2] | 0x400
    SET_REG32 S, 0
    SET_DIM16 13, 0, 0
    SYSCALL 1, 123456
    SET_REG32 B, S32
  )");
  EXPECT_EQ(R16('A'), 5 * 16);
  EXPECT_EQ(R32('B'), 10u);
  ExpectedScreen expected(kOutline, kFace);
  expected.Add(static_cast<uint16_t>(CodeOf("０") + 12), 0, 0);
  int x = 16;
  for (const char* digit : {"３", "４", "５", "６"}) {
    expected.Add(digit, x, 0);
    x += 16;
  }
  expected.Add(static_cast<uint16_t>('0' + 10), 80, 0);
  for (int i = 1; i < 5; ++i) expected.Add('0', 80 + 8 * i, 0);
  ExpectScreen(expected);
}

TEST_F(TextCalls, ColoursAndFontSizeReachTheGlyphs) {
  Script("MAIN.MES", R"(
    SET_REG16 A, DIM16[0][11], DIM16[0][12]
    SYSCALL 12, 0x7C00, 0x03E0
    SET_REG16 C, DIM16[0][11], DIM16[0][12]
    SET_DIM16 14, 0, 100, 8
    SYSCALL 0
    TEXT "一"
    END
  )");
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 0x0000);  // what start-up gives the glyphs too
  EXPECT_EQ(R16('B'), 0x7FFF);
  EXPECT_EQ(R16('C'), 0x7C00);
  EXPECT_EQ(R16('D'), 0x03E0);
  const GlyphRenderer& glyphs = system_->graphics().glyphs();
  EXPECT_EQ(glyphs.outlineColour(), 0x7C00);
  EXPECT_EQ(glyphs.faceColour(), 0x03E0);
  EXPECT_EQ(glyphs.glyphWidth(), 60);  // clamped to the glyph box
  EXPECT_EQ(glyphs.glyphHeight(), 8);
  // An 8-pixel-high glyph box is 12 high: the stroke of "一" (row 8) shows, cut below.
  const VramPlane& plane = system_->planes().Plane0();
  EXPECT_EQ(plane.At(5, 8), 0x03E0);
  EXPECT_EQ(plane.At(5, 7), 0x7C00);
  EXPECT_EQ(plane.At(5, 9), 0x7C00);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TextCalls, StartUpColoursAreTheVariables) {
  Script("MAIN.MES", "TEXT \"一\"\nEND\n");
  ASSERT_EQ(Run(), 0);
  ExpectedScreen expected(0x0000, 0x7FFF);
  expected.Add("一", 0, 0);
  ExpectScreen(expected);
}

class TextRefresh : public TextCalls {
 protected:
  // Runs the script after painting plane 0 behind the window's back: the window shows the
  // paint only where something refreshed it.
  void RunOverHiddenPaint(const std::string& body) {
    Script("MAIN.MES", body + "\nEND\n");
    StartPlatform();
    system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
    ASSERT_TRUE(system_->StartUp());
    auto& pixels = system_->planes().Plane0().pixels;
    std::fill(pixels.begin(), pixels.end(), 0x1111);
    system_->RunGame();
  }
  uint16_t Screen(int x, int y) { return system_->finalScreen.At(x, y); }
};

TEST_F(TextRefresh, OtherPlanesNeverRefreshTheScreen) {
  RunOverHiddenPaint(R"(
    SET_DIM16 1, 0, 3
    TEXT "一二"
    TEXT_HALF "ab"
    SYSCALL 1, 5
    SET_DIM16 1, 0, 6
    SET_DIM16 9, 0, 340, 20
    TEXT "三"
  )");
  EXPECT_EQ(Screen(300, 300), 0x0000);
  EXPECT_NE(system_->planes().Get(3).At(9, 8), 0x0000);  // the text itself was drawn
}

TEST_F(TextRefresh, PlaneZeroRefreshesItsWindow) {
  RunOverHiddenPaint(R"(
    SET_DIM16 5, 0, 100, 100, 300, 200
    SET_DIM16 9, 0, 100, 100
    TEXT "一"
  )");
  // The window plus one advance to the right and one line below.
  EXPECT_EQ(Screen(300, 300), 0x0000);
  EXPECT_EQ(Screen(315, 215), 0x1111);
  EXPECT_EQ(Screen(316, 150), 0x0000);
  EXPECT_EQ(Screen(150, 216), 0x0000);
  EXPECT_EQ(Screen(99, 150), 0x0000);
}

TEST_F(TextRefresh, HalfRunsAndNumbersRefreshTheWindowItself) {
  RunOverHiddenPaint(R"(
    SET_DIM16 5, 0, 100, 100, 300, 200
    SET_DIM16 9, 0, 100, 100
    SET_DIM16 2, 0, DIM16[0][2] | 0x400
    SYSCALL 1, 5                        ; measuring numbers still refresh
  )");
  EXPECT_EQ(Screen(300, 200), 0x1111);
  EXPECT_EQ(Screen(301, 150), 0x0000);
  EXPECT_EQ(Screen(150, 201), 0x0000);
}

TEST_F(TextRefresh, AWindowBeyondTheScreenRefreshesWhatIsOnIt) {
  RunOverHiddenPaint(R"(
    SET_DIM16 5, 0, 600, 460, 2000, 3000
    SET_DIM16 9, 0, 630, 470
    TEXT "一"
    TEXT_HALF "a"
  )");
  EXPECT_EQ(Screen(605, 465), 0x1111);
  EXPECT_EQ(Screen(639, 478), 0x7FFF);  // the stroke of "一", cut at the edge
  EXPECT_EQ(Screen(599, 479), 0x0000);
}

}  // namespace
}  // namespace tvx::testing
