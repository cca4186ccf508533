#include <gtest/gtest.h>

#include "app/shell_windows.h"
#include "tests/app/game_fixture.h"

namespace tvx::testing {
namespace {

using platform::Key;
namespace input = platform::input;

class InputTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(Start());
    PumpAll();
  }
  void Mouse(bool left, bool down) {
    input::MouseButton(window().handle(), left, down);
    PumpAll();
  }
  void KeyEvent(Key key, bool down) {
    input::Key(key, down);
    PumpAll();
  }
  // A right click that opens the command menu, and Escape, which closes it again.
  void MenuClickAndEscape() {
    input::MouseButton(window().handle(), false, true);
    input::Key(Key::Escape, true);
    input::Key(Key::Escape, false);
    input::MouseButton(window().handle(), false, false);
    PumpAll();
  }
};

TEST_F(InputTest, ButtonsTakeTheCaptureOneAtATime) {
  // The right button reaches the script only while flag 2006 is set.
  game().variables().SetFlag(MainWindow::kRightButtonToScriptFlag, 1);
  Mouse(/*left=*/false, true);
  EXPECT_EQ(window().inputBits(), MainWindow::kRightButtonBit);
  EXPECT_EQ(platform::Capture(), window().handle());
  EXPECT_EQ(window().QueryInput(MainWindow::kCancel), 1);
  // The capture is held: pressing the left button sets no bit.
  Mouse(true, true);
  EXPECT_EQ(window().inputBits(), MainWindow::kRightButtonBit);
  EXPECT_EQ(window().QueryInput(MainWindow::kLeftButton), 0);
  // Releasing the left button while the right holds the capture keeps the capture.
  Mouse(true, false);
  EXPECT_EQ(platform::Capture(), window().handle());
  Mouse(false, false);
  EXPECT_EQ(platform::Capture(), platform::kNoWindow);
  EXPECT_EQ(window().inputBits(), 0);

  Mouse(true, true);
  EXPECT_EQ(window().inputBits(), MainWindow::kLeftButtonBit);
  EXPECT_TRUE(window().leftCapture());
  EXPECT_EQ(window().QueryInput(MainWindow::kDecide), 1);
  EXPECT_EQ(window().QueryInput(MainWindow::kLeftButton), 1);
  // Right press under a left capture, then the left release keeps the right flag's rule.
  Mouse(false, true);
  EXPECT_FALSE(window().rightCapture());
  Mouse(true, false);
  EXPECT_EQ(platform::Capture(), platform::kNoWindow);
  EXPECT_EQ(window().inputBits(), 0);
}

TEST_F(InputTest, DecideFollowsEnterAndForgetsALostKeyUp) {
  KeyEvent(Key::Enter, true);
  Mouse(true, true);
  Mouse(true, false);
  // Enter still held: decide answers 1 though the button bit is gone.
  EXPECT_EQ(window().QueryInput(MainWindow::kDecide), 1);
  // Enter is released but the key-up message never reaches the window.
  input::Key(Key::Enter, false);
  platform::PeekMessage(true);  // taken away before the window sees it
  EXPECT_EQ(window().inputBits(), MainWindow::kEnterBit);
  EXPECT_EQ(window().QueryInput(MainWindow::kDecide), 0);
  EXPECT_EQ(window().inputBits(), 0);
  // Escape likewise for cancel; other keys set no bit.
  KeyEvent(Key::Escape, true);
  KeyEvent(platform::LetterKey('Q'), true);
  EXPECT_EQ(window().inputBits(), MainWindow::kEscapeBit);
  EXPECT_EQ(window().QueryInput(MainWindow::kCancel), 1);
  KeyEvent(Key::Escape, false);
  EXPECT_EQ(window().QueryInput(MainWindow::kCancel), 0);
}

TEST_F(InputTest, DirectionShiftSpaceAndFocusLoss) {
  KeyEvent(Key::Up, true);
  KeyEvent(Key::Ctrl, true);
  EXPECT_EQ(window().QueryInput(MainWindow::kUp), 1);
  EXPECT_EQ(window().QueryInput(MainWindow::kDown), 0);
  EXPECT_EQ(window().QueryInput(MainWindow::kControl), 1);
  EXPECT_EQ(window().QueryInput(42), 0);
  // Shift and Space count a press made since the previous query.
  KeyEvent(Key::Shift, true);
  KeyEvent(Key::Shift, false);
  EXPECT_EQ(window().QueryInput(MainWindow::kShift), 1);
  EXPECT_EQ(window().QueryInput(MainWindow::kShift), 0);
  KeyEvent(Key::Space, true);
  KeyEvent(Key::Space, false);
  EXPECT_EQ(window().QueryInput(MainWindow::kSpace), 1);
  EXPECT_EQ(window().QueryInput(MainWindow::kSpace), 0);
  // Losing the focus clears the bits.
  KeyEvent(Key::Enter, true);
  input::Focus(window().handle(), false);
  PumpAll();
  EXPECT_EQ(window().inputBits(), 0);
}

TEST_F(InputTest, APressOverBeforeTheQueryIsSeenOnce) {
  game().variables().SetFlag(MainWindow::kRightButtonToScriptFlag, 1);
  // Each press and its release are handled before any query.
  for (Key key : {Key::Escape, Key::Up, Key::Down, Key::Left, Key::Right}) {
    KeyEvent(key, true);
    KeyEvent(key, false);
  }
  Mouse(true, true);
  Mouse(true, false);
  for (int k : {MainWindow::kDecide, MainWindow::kCancel, MainWindow::kUp, MainWindow::kDown,
                MainWindow::kLeft, MainWindow::kRight, MainWindow::kLeftButton}) {
    EXPECT_EQ(window().QueryInput(k), 1) << k;
    EXPECT_EQ(window().QueryInput(k), 0) << k;
  }
  KeyEvent(Key::Enter, true);
  KeyEvent(Key::Enter, false);
  Mouse(false, true);
  Mouse(false, false);
  EXPECT_EQ(window().QueryInput(MainWindow::kDecide), 1);
  EXPECT_EQ(window().QueryInput(MainWindow::kCancel), 1);
  EXPECT_EQ(window().QueryInput(MainWindow::kLeftButton), 0);
  // A held key answers as long as it is held.
  KeyEvent(Key::Down, true);
  EXPECT_EQ(window().QueryInput(MainWindow::kDown), 1);
  EXPECT_EQ(window().QueryInput(MainWindow::kDown), 1);
  KeyEvent(Key::Down, false);
  EXPECT_EQ(window().QueryInput(MainWindow::kDown), 0);
  // Forgetting the presses leaves what is held.
  KeyEvent(Key::Enter, true);
  KeyEvent(Key::Enter, false);
  KeyEvent(Key::Escape, true);
  KeyEvent(Key::Left, true);
  KeyEvent(Key::Left, false);
  game().ForgetPresses();
  EXPECT_EQ(window().QueryInput(MainWindow::kDecide), 0);
  EXPECT_EQ(window().QueryInput(MainWindow::kLeft), 0);
  EXPECT_EQ(window().QueryInput(MainWindow::kCancel), 1);
  KeyEvent(Key::Escape, false);
  // A right press that opens the command menu is no cancel; focus loss drops presses.
  game().variables().SetFlag(MainWindow::kRightButtonToScriptFlag, 0);
  MenuClickAndEscape();
  EXPECT_EQ(window().QueryInput(MainWindow::kCancel), 0);
  KeyEvent(Key::Up, true);
  KeyEvent(Key::Up, false);
  input::Focus(window().handle(), false);
  PumpAll();
  EXPECT_EQ(window().QueryInput(MainWindow::kUp), 0);
}

TEST_F(InputTest, RightButtonMenuRestoresTheCursorAndChoosesNothing) {
  game().shared().cursorKind = 2;
  game().shared().cursorId = 104;
  MenuClickAndEscape();
  // Nothing was chosen: a command 0 was posted and handled without effect.
  EXPECT_EQ(window().inputBits(), 0);
  EXPECT_EQ(game().shared().cursorKind.load(), 2u);
  EXPECT_EQ(game().menuTracking, 0u);
  EXPECT_EQ(platform::CurrentCursor(), (platform::CursorShape{104}));
  EXPECT_TRUE(platform::IsWindow(window().handle()));
}

TEST_F(InputTest, CursorFollowsItsKindAndForceCursorReachesTheTarget) {
  game().shared().cursorKind = 2;
  game().shared().cursorId = 230;
  input::MouseMove(window().handle(), {100, 100});
  PumpAll();
  EXPECT_EQ(platform::CurrentCursor(), (platform::CursorShape{230}));
  game().shared().cursorKind = 0;
  window().SetCursorByKind();
  EXPECT_EQ(platform::CurrentCursor(), platform::CursorShape{});
  // Whatever the counter, ForceCursor lands on exactly 0 or -1.
  platform::ShowCursor(true);
  platform::ShowCursor(true);
  window().ForceCursor(false);
  EXPECT_EQ(platform::CursorCounter(), -1);
  platform::ShowCursor(false);
  platform::ShowCursor(false);
  window().ForceCursor(true);
  EXPECT_EQ(platform::CursorCounter(), 0);
}

}  // namespace
}  // namespace tvx::testing
