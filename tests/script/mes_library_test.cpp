// The include files of docs/lib in a small game: text shown and cleared again, and a
// choice with its highlight, made with the keys or the mouse.
#include <gtest/gtest.h>

#include "graphics/vram_plane_set.h"
#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

constexpr uint16_t kBackground = 0x001F;  // the "picture": the screen filled in blue
constexpr uint16_t kHighlight = 0x7FE0;   // choice_colour of choice.tvs

constexpr std::string_view kGame = R"(
.include "text.tvs"
.include "choice.tvs"
    SET_DIM16 11, 0, 0x001F
    SYSCALL 10, 2, 0, 0, 639, 479
    SET_DIM16 11, 0, 0
    TEXT_KEEP_CLEAN
    TEXT_WINDOW 40, 390, 600, 460
    SAY "门开了。"
    TEXT_WAIT "有人吗？"
    SET_REG16 A, DIM16[0][9]            ; the cursor after both texts
    TEXT_CLEAR
    SET_REG16 B, DIM16[0][9]            ; and after the clear
    CHOICE_BEGIN 240, 200, 160, 24
    CHOICE_ITEM "开始"
    CHOICE_ITEM "结束"
    CHOICE_RUN
    SET_REG16 C, choice
    END
)";

class MesLibrary : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    const auto result =
        mes::Assemble(kGame, TALVEX_SOURCE_DIR "/docs/lib/game.tvs", mes::DiskIncludeReader());
    ASSERT_TRUE(result.ok()) << (result.errors.empty() ? "" : result.errors.front());
    WriteBytes("MAIN.MES", result.code);
  }

  uint16_t Pixel(uint32_t x, uint32_t y) { return system_->planes().Plane0().At(x, y); }
  // The bar of item `item` (choice.tvs: 14 pixels left of the items, by the middle of the
  // 16-pixel font).
  uint16_t Bar(int item) { return Pixel(240 - 10, static_cast<uint32_t>(200 + item * 24 + 8)); }

  void ExpectTextWindowClean() {
    int dirty = 0;
    for (uint32_t y = 390; y < 460; ++y) {
      for (uint32_t x = 40; x < 600; ++x) dirty += Pixel(x, y) != kBackground;
    }
    EXPECT_EQ(dirty, 0);
  }

  int ItemPixels(int item) {
    int drawn = 0;
    for (uint32_t y = 0; y < 16; ++y) {
      for (uint32_t x = 240; x < 272; ++x) {
        drawn += Pixel(x, static_cast<uint32_t>(200 + item * 24) + y) != kBackground;
      }
    }
    return drawn;
  }
};

// Two Enters for the two texts, then Down, Down (no third item), Up, Down and Enter.
TEST_F(MesLibrary, TextAndAChoiceByKeys) {
  EXPECT_EQ(Run("100 key down Enter\n130 key up Enter\n"
                "300 key down Enter\n330 key up Enter\n"
                "500 key down Down\n530 key up Down\n"
                "700 key down Down\n730 key up Down\n"
                "900 key down Up\n930 key up Up\n"
                "1100 key down Down\n1130 key up Down\n"
                "1300 key down Enter\n1330 key up Enter\n",
                10000),
            0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('A'), 40 + 8 * 16);  // eight characters from the window's left
  EXPECT_EQ(R16('B'), 40);
  EXPECT_EQ(R16('C'), 1);
  ExpectTextWindowClean();
  EXPECT_GT(ItemPixels(0), 0);
  EXPECT_GT(ItemPixels(1), 0);
  EXPECT_EQ(Bar(1), kHighlight);
  EXPECT_EQ(Bar(0), kBackground);
}

// The pointer onto the second item takes the highlight there; a click outside the items
// chooses nothing, a click on one chooses it.
TEST_F(MesLibrary, AChoiceByTheMouse) {
  EXPECT_EQ(Run("100 key down Enter\n130 key up Enter\n"
                "300 key down Enter\n330 key up Enter\n"
                "500 mouse move 20 20\n"
                "600 mouse down left\n650 mouse up left\n"
                "800 mouse move 300 230\n"
                "1000 mouse down left\n1050 mouse up left\n",
                10000),
            0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('C'), 1);
  EXPECT_GE(platform::TickCount(), 1000u);
  EXPECT_EQ(Bar(1), kHighlight);
  EXPECT_EQ(Bar(0), kBackground);
}

// A pointer already over the second item when the menu starts (it has not moved since):
// the highlight starts on the first, but a click chooses the item under the pointer.
TEST_F(MesLibrary, AClickChoosesTheItemUnderThePointerEvenIfItNeverMoved) {
  EXPECT_EQ(Run("100 key down Enter\n130 key up Enter\n"
                "300 key down Enter\n330 key up Enter\n"
                "310 mouse move 300 230\n"
                "800 mouse down left\n850 mouse up left\n",
                10000),
            0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('C'), 1);
  EXPECT_EQ(Bar(1), kHighlight);
  EXPECT_EQ(Bar(0), kBackground);
}

}  // namespace
}  // namespace tvx::testing
