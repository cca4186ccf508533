#include "app/pump.h"

#include <array>

#include "app/game_system.h"
#include "platform/platform.h"

namespace tvx {
namespace {

GameSystem* g_system = nullptr;
ShellWindows* g_shell = nullptr;

// Returns true when a message was handled.
bool HandleOneMessage() {
  auto message = platform::PeekMessage(true);
  if (!message) return false;
  using platform::Msg;
  if (message->kind == Msg::SysKeyDown || message->kind == Msg::SysKeyUp) {
    // Alt combinations do nothing, except Alt+F4, which asks to close the window, and
    // Alt+Enter, which switches the windowed program between its window and full screen.
    if (platform::KeyDownAtMessage(platform::Key::F4)) {
      platform::TranslateMessage(*message);
      platform::DispatchMessage(*message);
    } else if (static_cast<platform::Key>(message->wparam & 0xFF) == platform::Key::Enter) {
      platform::DispatchMessage(*message);
    }
    return true;
  }
  const platform::WindowId main = g_system ? g_system->mainWindow().handle() : platform::kNoWindow;
  // The accelerators are the game's: a menu or dialog running its own loop has the keys.
  const bool modal = g_system && g_system->mainWindow().modal();
  if (modal || !platform::TranslateAccelerator(main, *message))
    platform::TranslateMessage(*message);
  platform::DispatchMessage(*message);
  return true;
}

int RunStateResult() {
  if (!g_system) return 1;
  return g_system->mainWindow().runState() == MainWindow::kQuit ? 0 : 1;
}

}  // namespace

int PumpOnce() {
  if (g_system) {
    g_system->ApplyWantedCursor();
    g_system->planes().ApplyPendingRepaint();
  }
  HandleOneMessage();
  platform::Sleep(platform::HasActiveWindow() ? 0 : 30);
  return RunStateResult();
}

namespace {

int PumpWaitingTurn(bool input_only) {
  if (g_system) {
    g_system->ApplyWantedCursor();
    g_system->planes().ApplyPendingRepaint();
  }
  const bool handled = HandleOneMessage();
  if (!platform::HasActiveWindow())
    platform::Sleep(30);
  else if (handled)
    platform::Sleep(0);
  else if (input_only)
    platform::IdleWaitForInput();
  else
    platform::IdleWait();
  return RunStateResult();
}

}  // namespace

int PumpOnceWaiting() {
  return PumpWaitingTurn(false);
}

int PumpOnceWaitingForInput() {
  return PumpWaitingTurn(true);
}

namespace {

// The error box once the game system exists: owned by the main window, with the cursor shown.
void GameErrorBox(std::string_view caption_gbk, std::string_view text_gbk) {
  // The cursor stays shown after the box.
  if (!g_system->shared().cursorVisible) platform::ShowCursor(true);
  platform::MessageBox(g_system->mainWindow().handle(), caption_gbk, text_gbk,
                       platform::BoxButtons::Ok);
}

}  // namespace

GameSystem* CurrentGameSystem() {
  return g_system;
}
ShellWindows* CurrentShellWindows() {
  return g_shell;
}

void SetCurrentPointers(GameSystem* system, ShellWindows* shell) {
  g_system = system;
  g_shell = shell;
  SetErrorBoxHandler(system ? &GameErrorBox : nullptr);
}

void LoadAccelerators() {
  using platform::Key;
  static constexpr std::array<platform::Accelerator, 5> kTable = {{
      {platform::LetterKey('L'), platform::kModNone, 40036},
      {platform::LetterKey('S'), platform::kModNone, 40037},
      {Key::F4, platform::kModAlt, 57665},
      {Key::Space, platform::kModNone, 40032},
      {Key::Tab, platform::kModNone, 40038},
  }};
  platform::SetAccelerators(kTable);
}

}  // namespace tvx
