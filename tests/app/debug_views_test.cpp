// The debug menu's views, opened as a developer opens them (the headless "command" event)
// and read back from the window's picture: the numbers are recognised by comparing their
// cells with the glyphs the same view drew elsewhere (its column headers, its names).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "script/player_input.h"
#include "tests/app/blinking_animation.h"
#include "tests/script/script_fixture.h"
#include "ui/debug_views.h"

namespace tvx::testing {
namespace {

constexpr uint16_t kWhite = 0x7FFF, kYellow = 0x7FE0, kCyan = 0x03FF;

// The pixels of the 8 × 16 cell at (x, y) that have the colour.
std::vector<bool> Cell(const platform::Framebuffer& screen, int x, int y, uint16_t colour) {
  std::vector<bool> lit;
  for (int row = y; row < y + 16; ++row)
    for (int col = x; col < x + 8; ++col) lit.push_back(screen.At(col, row) == colour);
  return lit;
}

// Reads `n` cells from (x, y) in the colour against the glyphs of `known` (character and the
// cell where the view drew it in `known_colour`); '?' for a cell that matches none.
std::string Read(const platform::Framebuffer& screen, int x, int y, int n, uint16_t colour,
                 const std::vector<std::pair<char, std::pair<int, int>>>& known,
                 uint16_t known_colour) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    const std::vector<bool> cell = Cell(screen, x + 8 * i, y, colour);
    char found = '?';
    for (const auto& [ch, at] : known) {
      const std::vector<bool> glyph = Cell(screen, at.first, at.second, known_colour);
      if (std::count(glyph.begin(), glyph.end(), true) > 0 && glyph == cell) found = ch;
    }
    text += found;
  }
  return text;
}

// The digits as a table view's column headers show them: "+00d" at x = 64 + 32 d (flags).
std::vector<std::pair<char, std::pair<int, int>>> HeaderDigits() {
  std::vector<std::pair<char, std::pair<int, int>>> digits;
  for (int d = 0; d < 10; ++d) digits.push_back({static_cast<char>('0' + d), {88 + 32 * d, 0}});
  digits.push_back({'+', {64, 0}});
  return digits;
}

TEST(DebugViewsPaging, RowsAndPagesStayInsideTheTable) {
  // The flags: 2048 in rows of 16, pages of 464; the last page starts at 1584.
  uint32_t start = 0;
  std::vector<uint32_t> seen;
  for (int i = 0; i < 5; ++i) seen.push_back(start = DebugViews::Step(start, kRight, 2048, 16));
  for (int i = 0; i < 5; ++i) seen.push_back(start = DebugViews::Step(start, kLeft, 2048, 16));
  EXPECT_EQ(seen, (std::vector<uint32_t>{464, 928, 1392, 1584, 1584, 928, 464, 0, 0, 0}));
  EXPECT_EQ(DebugViews::Step(0, kUp, 2048, 16), 0u);
  EXPECT_EQ(DebugViews::Step(1584, kDown, 2048, 16), 1584u);
  EXPECT_EQ(DebugViews::Step(1568, kDown, 2048, 16), 1584u);
  EXPECT_EQ(DebugViews::Step(16, kUp, 2048, 16), 0u);
  // Left goes to the boundary before the page boundary at or below the start.
  EXPECT_EQ(DebugViews::Step(1392, kLeft, 2048, 16), 928u);
  EXPECT_EQ(DebugViews::Step(480, kLeft, 2048, 16), 0u);
  EXPECT_EQ(DebugViews::Step(32, kLeft, 2048, 16), 0u);
  // An array of 1000 entries in rows of 8: the last page starts at the last full row's page.
  EXPECT_EQ(DebugViews::Step(696, kRight, 1000, 8), 768u);
  EXPECT_EQ(DebugViews::Step(768, kDown, 1000, 8), 768u);
  // A table shorter than a page does not move.
  EXPECT_EQ(DebugViews::Step(0, kRight, 100, 8), 0u);
  EXPECT_EQ(DebugViews::Step(0, kDown, 100, 8), 0u);
}

class DebugViewsTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    WriteSettings("[Config]\nbDEBUG=1\n");
  }
  static std::string Tap(int ms, const char* key) {
    return std::to_string(ms) + " key down " + key + "\n" + std::to_string(ms + 10) + " key up " +
           key + "\n";
  }
  bool WorkPlaneBlack() {
    const auto pixels = system_->planes().Work().pixels;
    return std::all_of(pixels.begin(), pixels.end(), [](uint16_t p) { return p == 0; });
  }
};

TEST_F(DebugViewsTest, TheFlagViewPagesAndLeavesTheGamesPlanesAlone) {
  Script("MAIN.MES", R"(
    SET_FLAGS 929, 42
    SET_FLAGS 2047, 255
    SYSCALL 11, 2000
    END
  )");
  std::string events = "100 command 40010\n";
  for (int i = 0; i < 5; ++i) events += Tap(200 + 100 * i, "Right");
  events += Tap(800, "Left");
  // The program quits while the view is open, showing the page from 928 on.
  Run(events, 1200);
  EXPECT_TRUE(timed_out_);
  const platform::Framebuffer& screen = system_->finalScreen;
  ASSERT_EQ(screen.width(), 640);
  const auto digits = HeaderDigits();
  EXPECT_EQ(Read(screen, 64, 0, 4, kCyan, digits, kCyan), "+000");
  EXPECT_EQ(Read(screen, 544, 0, 4, kCyan, digits, kCyan), "+015");
  EXPECT_EQ(Read(screen, 32, 16, 4, kYellow, digits, kCyan), "0928");
  EXPECT_EQ(Read(screen, 32, 16 + 16 * 28, 4, kYellow, digits, kCyan), "1376");
  EXPECT_EQ(Read(screen, 72, 16, 3, kWhite, digits, kCyan), "000");
  EXPECT_EQ(Read(screen, 104, 16, 3, kWhite, digits, kCyan), "042");
  EXPECT_TRUE(WorkPlaneBlack());
}

TEST_F(DebugViewsTest, TheLastFlagPageAndTheArrayViews) {
  Script("MAIN.MES", R"(
    SET_FLAGS 2047, 255
    SYSCALL 11, 2000
    END
  )");
  // Right past the end, then Down and Up: the last page, whose last flag is 2047.
  Run("100 command 40010\n" + Tap(200, "Right") + Tap(300, "Right") + Tap(400, "Right") +
          Tap(500, "Right") + Tap(600, "Right") + Tap(700, "Down") + Tap(800, "Up") +
          Tap(900, "Down"),
      1200);
  const platform::Framebuffer& screen = system_->finalScreen;
  const auto digits = HeaderDigits();
  EXPECT_EQ(Read(screen, 32, 16, 4, kYellow, digits, kCyan), "1584");
  EXPECT_EQ(Read(screen, 72 + 32 * 15, 16 + 16 * 28, 3, kWhite, digits, kCyan), "255");
  EXPECT_TRUE(WorkPlaneBlack());
}

TEST_F(DebugViewsTest, TheSixteenBitArrayViewPagesPastTheFirstPage) {
  Script("MAIN.MES", R"(
    SET_DIM16 240, 0, 12301
    SYSCALL 11, 2000
    END
  )");
  // A page on, entry 240 is the second row's first value; the labels have seven digits, as
  // the array runs on through the script image.
  Run("100 command 40014\n" + Tap(200, "Right"), 600);
  const platform::Framebuffer& screen = system_->finalScreen;
  // The column headers "+0000d" at x = 144 + 48 d give the digits 0-7.
  std::vector<std::pair<char, std::pair<int, int>>> digits;
  for (int d = 0; d < 8; ++d) digits.push_back({static_cast<char>('0' + d), {184 + 48 * d, 0}});
  EXPECT_EQ(Read(screen, 88, 16, 7, kYellow, digits, kCyan), "0000232");
  EXPECT_EQ(Read(screen, 88, 32, 7, kYellow, digits, kCyan), "0000240");
  EXPECT_EQ(Read(screen, 152, 32, 5, kWhite, digits, kCyan), "12301");
  EXPECT_TRUE(WorkPlaneBlack());
}

TEST_F(DebugViewsTest, TheThirtyTwoBitArrayView) {
  Script("MAIN.MES", R"(
    SET_DIM32 233, 0, 3000000000
    SYSCALL 11, 2000
    END
  )");
  // Rows of 4, pages of 116: two pages on, entry 233 is the first row's second value.
  Run("100 command 40015\n" + Tap(200, "Right") + Tap(300, "Right") + Tap(400, "Down") +
          Tap(500, "Up"),
      800);
  const platform::Framebuffer& screen = system_->finalScreen;
  // Headers "+000000000d" at x = 144 + 88 d give the digits 0-3.
  std::vector<std::pair<char, std::pair<int, int>>> digits;
  for (int d = 0; d < 4; ++d) digits.push_back({static_cast<char>('0' + d), {224 + 88 * d, 0}});
  EXPECT_EQ(Read(screen, 96, 16, 6, kYellow, digits, kCyan), "000232");
  EXPECT_EQ(Read(screen, 240, 16, 10, kWhite, digits, kCyan), "3000000000");
  EXPECT_TRUE(WorkPlaneBlack());
}

TEST_F(DebugViewsTest, TheSixteenBitRegisterView) {
  Script("MAIN.MES", R"(
    SET_REG16 A, 0xABCD
    SYSCALL 11, 2000
    END
  )");
  Run("100 command 40011\n", 300);
  const platform::Framebuffer& screen = system_->finalScreen;
  // The names "A : " … down the left give the letters A-F.
  std::vector<std::pair<char, std::pair<int, int>>> letters;
  for (int r = 0; r < 6; ++r) letters.push_back({static_cast<char>('A' + r), {16, 16 * r}});
  EXPECT_EQ(Read(screen, 48, 0, 4, kWhite, letters, kYellow), "ABCD");
}

TEST_F(DebugViewsTest, TheThirtyTwoBitRegisterView) {
  Script("MAIN.MES", R"(
    SET_REG32 B, 255
    SYSCALL 11, 2000
    END
  )");
  Run("100 command 40012\n", 300);
  const platform::Framebuffer& screen = system_->finalScreen;
  // "dwF : " gives F; register A (0) gives the zero.
  const std::vector<std::pair<char, std::pair<int, int>>> glyphs = {{'F', {32, 16 * 5}},
                                                                    {'0', {64, 0}}};
  EXPECT_EQ(Read(screen, 64, 16, 8, kWhite, glyphs, kYellow), "??????FF");
  EXPECT_EQ(Read(screen, 64, 16, 8, kWhite, glyphs, kWhite), "000000??");
}

// Plane 1 blue, plane 0 black.
constexpr std::string_view kBluePlane1 = R"(
    SET_DIM16 1, 0, 1
    SET_DIM16 11, 0, 0x001F
    SYSCALL 10, 2, 0, 0, 639, 479
    SET_DIM16 1, 0, 0
    SET_DIM16 11, 0, 0
)";

TEST_F(DebugViewsTest, ThePlaneViewShowsThePlaneUntilDecide) {
  Script("MAIN.MES", std::string(kBluePlane1) + R"(
    SYSCALL 11, 2000
    END
  )");
  // A second view command while one is open does nothing.
  Run("100 command 40005\n200 command 40010\n", 600);
  EXPECT_EQ(system_->finalScreen.At(320, 240), 0x001F);
  EXPECT_EQ(system_->finalScreen.At(72, 16), 0x001F);
  EXPECT_TRUE(WorkPlaneBlack());
}

TEST_F(DebugViewsTest, ClosingAViewDoesNotEndTheScriptsNextWait) {
  Script("MAIN.MES", std::string(kBluePlane1) + R"(
    SYSCALL 11                        ; the player's click
    SET_REG16 C, 1
    SYSCALL 11
    END
  )");
  // Enter closes the plane view inside the first wait, which goes on until the next Enter.
  // In the second wait a view of plane 2 (no pixels) is closed with Enter held a while: had
  // it reached the wait, the script would end before the program is made to quit.
  Run("100 command 40005\n" + Tap(300, "Enter") + Tap(1000, "Enter") +
          "1100 command 40006\n1200 key down Enter\n1400 key up Enter\n",
      2500);
  EXPECT_TRUE(timed_out_);
  EXPECT_EQ(R16('C'), 1);
  // The game's black picture came back.
  EXPECT_EQ(system_->finalScreen.At(320, 240), 0);
  EXPECT_EQ(system_->finalScreen.At(20, 20), 0);
}

TEST_F(DebugViewsTest, TheGameGoesOnBehindAnOpenView) {
  WriteBytes("ANIM.DAT", BlinkingAnimation());
  Script("MAIN.MES", std::string(kStartBlinking) + R"(
    SYSCALL 11, 4000
    END
  )");
  Run("100 command 40010\n", 1000);
  // The clock kept drawing on plane 0 and asking for repaints; the view stayed on the window.
  const uint16_t drawn = system_->planes().Plane0().At(101, 101);
  EXPECT_TRUE(drawn == 0x7C00 || drawn == 0x03E0);
  const platform::Framebuffer& screen = system_->finalScreen;
  for (int y = 100; y < 104; ++y)
    for (int x = 100; x < 104; ++x) EXPECT_EQ(screen.At(x, y), 0) << x << "," << y;
  const auto digits = HeaderDigits();
  EXPECT_EQ(Read(screen, 32, 16, 4, kYellow, digits, kCyan), "0000");
}

TEST_F(DebugViewsTest, AViewGivesTheCursorBackAsTheScriptLeftIt) {
  Script("MAIN.MES", R"(
    SYSCALL 2, 1                      ; the script hides the cursor
    SYSCALL 11, 2000
    END
  )");
  Run("100 command 40011\n" + Tap(200, "Escape") + "300 command 40012\n" + Tap(400, "Escape"), 600);
  EXPECT_LT(platform::CursorCounter(), 0);
  EXPECT_EQ(system_->shared().cursorVisible, 0u);
}

}  // namespace
}  // namespace tvx::testing
