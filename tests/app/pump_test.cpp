#include <gtest/gtest.h>

#include "tests/app/game_fixture.h"

namespace tvx::testing {
namespace {

using platform::Key;
namespace input = platform::input;

using PumpTest = GameTest;

TEST_F(PumpTest, OneMessagePerCallAndTheBackgroundSleep) {
  ASSERT_TRUE(Start());
  PumpAll();
  for (int i = 0; i < 3; ++i) platform::PostMessage(window().handle(), platform::Msg::User);
  EXPECT_EQ(PumpOnce(), 1);
  EXPECT_EQ(platform::QueuedMessageCount(), 2u);
  EXPECT_EQ(PumpOnce(), 1);
  EXPECT_EQ(platform::QueuedMessageCount(), 1u);
  PumpOnce();
  // In the foreground a pass only yields.
  uint64_t before = backend().NowMicros();
  PumpOnce();
  EXPECT_LT(backend().NowMicros() - before, 1000u);
  // In the background every pass takes at least 30 ms.
  input::Focus(window().handle(), false);
  PumpOnce();
  before = backend().NowMicros();
  PumpOnce();
  PumpOnceWaiting();
  EXPECT_GE(backend().NowMicros() - before, 60'000u);
}

TEST_F(PumpTest, AltAloneAndAltSpaceDoNothingAltF4Asks) {
  ASSERT_TRUE(
      Start("10 key down Alt\n11 key up Alt\n"
            "20 key down Alt\n21 key down Space\n22 key up Space\n23 key up Alt\n"
            "30 answer Cancel\n"
            "40 key down Alt\n41 key down F4\n42 key up F4\n43 key up Alt\n"));
  while (backend().pending_events() > 0 || platform::QueuedMessageCount() > 0) PumpOnceWaiting();
  ASSERT_EQ(backend().boxes().size(), 1u);
  EXPECT_EQ(backend().boxes()[0].caption, Gbk("游戏的结束"));
  EXPECT_EQ(backend().boxes()[0].text, Gbk("结束游戏吗？"));
  EXPECT_EQ(backend().boxes()[0].buttons, platform::BoxButtons::OkCancel);
  EXPECT_GE(backend().boxes()[0].time, 41u);
  // Cancelled: the game goes on.
  EXPECT_TRUE(platform::IsWindow(window().handle()));
  EXPECT_EQ(window().runState(), MainWindow::kRunning);
}

TEST_F(PumpTest, CancellingTheQuitRestoresTheCursorAndRepaints) {
  ASSERT_TRUE(Start("0 answer Cancel\n"));
  PumpAll();
  game().shared().cursorKind = 2;
  game().shared().cursorId = 102;
  game().shared().cursorVisible = 0;
  window().ForceCursor(false);
  window().SetCursorByKind();
  const int presents = backend().present_count();
  input::SystemCommand(window().handle(), platform::kScClose);
  PumpAll();
  ASSERT_EQ(backend().boxes().size(), 1u);
  EXPECT_EQ(game().shared().cursorKind.load(), 2u);
  EXPECT_EQ(game().shared().cursorVisible, 0u);
  EXPECT_EQ(platform::CursorCounter(), -1);
  EXPECT_FALSE(backend().cursor_visible());
  EXPECT_EQ(platform::CurrentCursor(), (platform::CursorShape{102}));
  PumpOnce();  // what was repainted reaches the screen
  EXPECT_GT(backend().present_count(), presents);
  EXPECT_EQ(PumpOnce(), 1);
}

TEST_F(PumpTest, ConfirmingTheQuitEndsEveryWait) {
  ASSERT_TRUE(Start("100 close\n"));
  int passes = 0;
  while (PumpOnceWaiting()) ++passes;
  EXPECT_GT(passes, 50);  // it waited for the player until 100 ms
  EXPECT_EQ(window().runState(), MainWindow::kQuit);
  EXPECT_FALSE(platform::IsWindow(window().handle()));
  EXPECT_EQ(PumpOnce(), 0);
  // The interpreter returns and the window is already gone: RunSystem's tail returns 0.
  EXPECT_EQ(game().RunGame(), 0);
}

TEST_F(PumpTest, TheEndGameCommandAsksToo) {
  ASSERT_TRUE(Start("0 answer Cancel\n"));
  PumpAll();
  platform::PostMessage(window().handle(), platform::Msg::Command, 57665);
  PumpAll();
  ASSERT_EQ(backend().boxes().size(), 1u);
  EXPECT_EQ(backend().boxes()[0].text, Gbk("结束游戏吗？"));
}

}  // namespace
}  // namespace tvx::testing
