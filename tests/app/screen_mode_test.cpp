// Full screen and the window: the debug menu's two screen modes with their check marks, the
// "SCREEN" setting at start, and Alt+Enter / F11 in the windowed program, remembered in the
// settings file for the next start.
#include <gtest/gtest.h>

#include "tests/app/game_fixture.h"
#include "ui/menu_tree.h"

namespace tvx::testing {
namespace {

using platform::Key;
namespace input = platform::input;

constexpr uint16_t kWindowMode = 40027, kFullScreenMode = 40028, kMusicOff = 40018;

class ScreenModeTest : public GameTest {
 protected:
  void Choose(uint16_t command) {
    input::MenuCommand(window().handle(), command);
    PumpAll();
  }
  void Press(Key key, bool down) {
    input::Key(key, down);
    PumpAll();
  }
  // The check marks of the two entries: window, full screen. Neither entry is ever greyed.
  std::pair<bool, bool> Checks() {
    const MenuItem* windowed = window().menus().Find(kWindowMode);
    const MenuItem* full = window().menus().Find(kFullScreenMode);
    EXPECT_TRUE(windowed && full);
    if (!windowed || !full) return {};
    EXPECT_FALSE(windowed->grayed || full->grayed);
    return {windowed->checked, full->checked};
  }
  int32_t Remembered() { return SettingsFile(SettingsPath()).ReadInt("TALVEX", "FullScreen", -1); }
  int32_t ScreenSetting() { return SettingsFile(SettingsPath()).ReadInt("Config", "SCREEN", -1); }
};

TEST_F(ScreenModeTest, TheDebugEntriesDoWhatTheySayInTheWindowedProgram) {
  WriteSettings("[Config]\nbDEBUG=1\n");
  ASSERT_TRUE(Start());
  PumpAll();
  EXPECT_FALSE(backend().desktop_fullscreen());
  EXPECT_EQ(Checks(), std::make_pair(true, false));

  Choose(kFullScreenMode);
  EXPECT_TRUE(backend().desktop_fullscreen());
  EXPECT_FALSE(backend().fullscreen());  // the display mode is never switched
  EXPECT_EQ(Checks(), std::make_pair(false, true));
  EXPECT_EQ(Remembered(), 1);
  // Another option command leaves the mode as it is.
  Choose(kMusicOff);
  EXPECT_TRUE(backend().desktop_fullscreen());

  Choose(kWindowMode);
  EXPECT_FALSE(backend().desktop_fullscreen());
  EXPECT_EQ(Checks(), std::make_pair(true, false));
  EXPECT_EQ(Remembered(), 0);
  Choose(kWindowMode);  // again: nothing to leave
  EXPECT_FALSE(backend().desktop_fullscreen());
  EXPECT_EQ(ScreenSetting(), -1);  // the developer's setting is never written
}

TEST_F(ScreenModeTest, ScreenAsksForFullScreenAtStartAndTheChecksFollowTheMode) {
  // The windowed program with "SCREEN" in debug mode starts over the whole desktop.
  WriteSettings("[Config]\nbDEBUG=1\nSCREEN=1\n");
  ASSERT_TRUE(Start());
  PumpAll();
  EXPECT_TRUE(backend().desktop_fullscreen());
  EXPECT_EQ(Checks(), std::make_pair(false, true));
  EXPECT_EQ(Remembered(), -1);  // asked for, not chosen: nothing written
  system_.reset();

  // Without debug mode "SCREEN" means nothing.
  WriteSettings("[Config]\nSCREEN=1\n");
  ASSERT_TRUE(Start());
  EXPECT_FALSE(backend().desktop_fullscreen());
  system_.reset();

  // The full-screen program is in full screen whatever "SCREEN" says, and the check marks
  // say so; the window entry leaves the display mode and the full-screen one takes it again.
  WriteSettings("[Config]\nbDEBUG=1\nSCREEN=0\n");
  ASSERT_TRUE(Start("", /*windowed=*/false));
  PumpAll();
  EXPECT_TRUE(backend().fullscreen());
  EXPECT_EQ(Checks(), std::make_pair(false, true));
  Choose(kWindowMode);
  EXPECT_FALSE(backend().fullscreen());
  EXPECT_FALSE(game().display().fullscreen());
  EXPECT_EQ(Checks(), std::make_pair(true, false));
  Choose(kFullScreenMode);
  EXPECT_TRUE(backend().fullscreen());
  EXPECT_EQ(Checks(), std::make_pair(false, true));
  EXPECT_FALSE(backend().desktop_fullscreen());
  EXPECT_EQ(Remembered(), -1);  // it always starts in full screen: nothing to remember
}

TEST_F(ScreenModeTest, AltEnterAndF11SwitchOncePerPressAndAreRemembered) {
  ASSERT_TRUE(Start());
  PumpAll();
  // Not in debug mode the menu has no screen entries: choosing one does nothing.
  Choose(kFullScreenMode);
  EXPECT_FALSE(backend().desktop_fullscreen());

  Press(Key::Alt, true);
  Press(Key::Enter, true);
  EXPECT_TRUE(backend().desktop_fullscreen());
  Press(Key::Enter, true);  // the key repeating while held
  EXPECT_TRUE(backend().desktop_fullscreen());
  // Alt let go first: Enter's release arrives as a plain key and still ends the press.
  Press(Key::Alt, false);
  Press(Key::Enter, false);
  EXPECT_EQ(Remembered(), 1);
  // The game saw no Enter.
  EXPECT_EQ(window().QueryInput(MainWindow::kDecide), 0);

  Press(Key::Alt, true);
  Press(Key::Enter, true);
  Press(Key::Enter, false);
  Press(Key::Alt, false);
  EXPECT_FALSE(backend().desktop_fullscreen());
  EXPECT_EQ(Remembered(), 0);

  Press(Key::F11, true);
  Press(Key::F11, true);
  Press(Key::F11, false);
  EXPECT_TRUE(backend().desktop_fullscreen());
  EXPECT_EQ(Remembered(), 1);

  // The next start comes back in full screen.
  system_.reset();
  ASSERT_TRUE(Start());
  PumpAll();
  EXPECT_TRUE(backend().desktop_fullscreen());
  Press(Key::F11, true);
  Press(Key::F11, false);
  EXPECT_FALSE(backend().desktop_fullscreen());
  system_.reset();

  // The full-screen program keeps its mode: the keys do nothing there.
  ASSERT_TRUE(Start("", /*windowed=*/false));
  PumpAll();
  Press(Key::F11, true);
  Press(Key::F11, false);
  Press(Key::Alt, true);
  Press(Key::Enter, true);
  Press(Key::Enter, false);
  Press(Key::Alt, false);
  EXPECT_TRUE(backend().fullscreen());
  EXPECT_FALSE(backend().desktop_fullscreen());
  EXPECT_EQ(Remembered(), 0);
}

}  // namespace
}  // namespace tvx::testing
