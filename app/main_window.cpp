#include "app/main_window.h"

#include <cstdlib>
#include <optional>
#include <utility>

#include "app/game_system.h"
#include "app/pump.h"
#include "app/shell_windows.h"
#include "platform/platform.h"

namespace tvx {

using platform::Key;
using platform::Msg;

namespace {

// The input that a press of the key stands for.
std::optional<PlayerInput> InputOfKey(uint32_t key) {
  if (key > 0xFF) return std::nullopt;
  switch (static_cast<Key>(key)) {
    case Key::Enter:
      return kDecide;
    case Key::Escape:
      return kCancel;
    case Key::Up:
      return kUp;
    case Key::Down:
      return kDown;
    case Key::Left:
      return kLeft;
    case Key::Right:
      return kRight;
    default:
      return std::nullopt;
  }
}

}  // namespace

MainWindow::~MainWindow() {
  if (platform::IsWindow(handle_)) platform::DestroyWindow(handle_);
}

void MainWindow::ReadTitle() {
  title_ = settings_.ReadString("Config", "TITLE", "TALVEX", 128);
}

bool MainWindow::CreateMainWindow(bool windowed) {
  platform::WindowDesc desc;
  desc.title = title_;
  desc.x = 0;
  desc.y = 0;
  desc.width = 640;
  desc.height = 480;
  // The windowed build is an ordinary decorated window; the window manager adds the frame
  // around the 640 × 480 picture.
  desc.style = windowed ? platform::WindowStyle::Overlapped : platform::WindowStyle::Popup;
  desc.topmost = !windowed;
  desc.proc = {&MainWindow::Procedure, this};
  handle_ = platform::CreateWindow(desc);
  if (handle_ == platform::kNoWindow) return false;
  platform::ShowWindow(handle_, platform::ShowCommand::Show);
  platform::InvalidateRect(handle_);
  platform::UpdateWindow(handle_);
  system_.BuildMenus();
  return true;
}

bool MainWindow::DestroyMainWindow() {
  return platform::DestroyWindow(handle_);
}

int MainWindow::QueryInput(int k) {
  const int state = InputState(k);
  if (k < 0 || k >= static_cast<int>(presses_.size())) return state;
  const bool pressed = std::exchange(presses_[static_cast<size_t>(k)], false);
  return state != 0 || pressed ? 1 : 0;
}

int MainWindow::InputState(int k) {
  // A key release that never reached the window cannot leave a bit set.
  if (!platform::AsyncKeyState(Key::Enter)) input_bits_ &= ~kEnterBit;
  if (!platform::AsyncKeyState(Key::Escape)) input_bits_ &= ~kEscapeBit;
  switch (k) {
    case kDecide:
      return (input_bits_ & kEnterBit) ? 1 : ((input_bits_ & kLeftButtonBit) ? 1 : 0);
    case kCancel:
      return (input_bits_ & kEscapeBit) ? 1 : ((input_bits_ & kRightButtonBit) ? 1 : 0);
    case kUp:
      return platform::IsKeyDown(Key::Up) ? 1 : 0;
    case kDown:
      return platform::IsKeyDown(Key::Down) ? 1 : 0;
    case kLeft:
      return platform::IsKeyDown(Key::Left) ? 1 : 0;
    case kRight:
      return platform::IsKeyDown(Key::Right) ? 1 : 0;
    case kShift:
      return platform::AsyncKeyState(Key::Shift) ? 1 : 0;
    case kControl:
      return platform::IsKeyDown(Key::Ctrl) ? 1 : 0;
    case kLeftButton:
      return (input_bits_ & kLeftButtonBit) ? 1 : 0;
    case kSpace:
      return platform::AsyncKeyState(Key::Space) ? 1 : 0;
    default:
      return 0;
  }
}

void MainWindow::ForceCursor(bool show) {
  const int target = show ? 0 : -1;
  int counter = platform::ShowCursor(show);
  while (counter != target) counter = platform::ShowCursor(counter < target);
}

platform::CursorShape MainWindow::CursorForKind() const {
  switch (system_.shared().cursorKind.load()) {
    case 0:
      return {};
    case 2:
      return {system_.shared().cursorId.load()};
    default:
      return {system_.animations() ? system_.animations()->CurrentCursorFrame() : uint16_t{0}};
  }
}

void MainWindow::SetCursorByKind() {
  platform::SetCursor(CursorForKind());
}

intptr_t MainWindow::Procedure(void* context, const platform::Message& message) {
  return static_cast<MainWindow*>(context)->Handle(message);
}

bool MainWindow::BeginModal(ModalInput& modal) {
  if (modal_) return false;
  modal_ = &modal;
  // What the game held or pressed before belongs to the game, not to the modal part.
  ClearInput();
  return true;
}

void MainWindow::EndModal(ModalInput& modal) {
  if (modal_ != &modal) return;
  modal_ = nullptr;
  // The keys and clicks that worked the modal part are not seen by the game's next wait,
  // nor are those that inputs read as "pressed since the last look" (Shift+Tab in a dialog
  // would otherwise cut the game's next timed wait short).
  ClearInput();
  for (const Key key : {Key::Enter, Key::Escape, Key::Shift, Key::Space})
    (void)platform::AsyncKeyState(key);
}

bool MainWindow::HandleScreenModeKey(const platform::Message& message) {
  const auto key = static_cast<Key>(message.wparam & 0xFF);
  if (key != Key::Enter && key != Key::F11) return false;
  const bool alt_enter =
      key == Key::Enter && (message.kind == Msg::SysKeyDown || message.kind == Msg::SysKeyUp);
  const bool f11 = key == Key::F11 && (message.kind == Msg::KeyDown || message.kind == Msg::KeyUp);
  // Enter let go after Alt arrives as a plain key; it ends the press all the same.
  if (message.kind == Msg::KeyUp || message.kind == Msg::SysKeyUp) screen_key_held_ = false;
  if (!alt_enter && !f11) return false;
  if ((message.kind == Msg::SysKeyDown || message.kind == Msg::KeyDown) && !screen_key_held_) {
    screen_key_held_ = true;
    if (ShellWindows* shell = system_.shell()) shell->ToggleScreenMode();
  }
  return true;
}

intptr_t MainWindow::Handle(const platform::Message& message) {
  ShellWindows* shell = system_.shell();
  if (HandleScreenModeKey(message)) return 0;
  if (modal_ && IsModalInput(message.kind)) {
    modal_->OnInput(message);
    return 0;
  }
  switch (message.kind) {
    case Msg::Create:
      LoadAccelerators();
      return 0;
    case Msg::Destroy:
      if (const platform::Framebuffer* screen = platform::WindowFramebuffer(handle_))
        system_.finalScreen = *screen;
      platform::PostQuitMessage(0);
      SetRunState(kQuit);
      return 0;
    case Msg::Size:
      if (message.wparam == platform::kSizeMinimized && shell) shell->OnMinimized();
      return 0;
    case Msg::KillFocus:
      ClearInput();
      screen_key_held_ = false;
      return 0;
    case Msg::Paint: {
      const platform::Rect update = platform::BeginPaint(handle_);
      // An open debug view covers the game's picture until it is dismissed.
      if (const DebugViews* views = shell ? &shell->debugViews() : nullptr;
          views && views->active())
        views->Paint(handle_, update);
      else if (system_.planes().paintable())
        system_.planes().PaintPlane(handle_, update);
      return 0;
    }
    case Msg::SetCursor:
      HandleSetCursor();
      return 1;
    case Msg::KeyDown:
      if (message.wparam == static_cast<uint32_t>(Key::Enter)) input_bits_ |= kEnterBit;
      if (message.wparam == static_cast<uint32_t>(Key::Escape)) input_bits_ |= kEscapeBit;
      if (const auto input = InputOfKey(message.wparam)) Press(*input);
      return 0;
    case Msg::KeyUp:
      if (message.wparam == static_cast<uint32_t>(Key::Enter)) input_bits_ &= ~kEnterBit;
      if (message.wparam == static_cast<uint32_t>(Key::Escape)) input_bits_ &= ~kEscapeBit;
      return 0;
    case Msg::Command: {
      const auto command = static_cast<uint16_t>(message.wparam & 0xFFFF);
      // Nothing is chosen from the menu or by a key while a menu, dialog or prompt has the
      // window (only a headless event script could try).
      if (modal_) return 0;
      // A greyed item cannot be chosen in the menu.
      if (message.lparam == platform::kChosenInMenu) {
        menus_.Sync(system_.shared().commands);
        if (!menus_.Choosable(command)) return 0;
      }
      if (shell) shell->HandleCommand(command);
      return 0;
    }
    case Msg::SysCommand:
      // The Alt key alone does not open a menu.
      if ((message.wparam & 0xFFF0) == platform::kScKeyMenu) return 0;
      ClearInput();
      return shell ? shell->HandleSystemCommand(message) : platform::DefaultWindowProc(message);
    case Msg::MouseMove:
      return 0;
    case Msg::LButtonDown:
      if (platform::Capture() == platform::kNoWindow) {
        platform::SetCapture(handle_);
        input_bits_ |= kLeftButtonBit;
        left_capture_ = true;
        Press(kDecide);
        Press(kLeftButton);
      }
      return 0;
    case Msg::LButtonUp:
      if (left_capture_ && !right_capture_) platform::ReleaseCapture();
      input_bits_ &= ~kLeftButtonBit;
      left_capture_ = false;
      return 0;
    case Msg::RButtonDown:
      // Over an open debug view the right button is the view's cancel: the menu does not open
      // on top of it.
      if (system_.variables().Flag(kRightButtonToScriptFlag) == 0 &&
          !(shell && shell->debugViews().active())) {
        OpenCommandMenu();
      } else if (platform::Capture() == platform::kNoWindow) {
        platform::SetCapture(handle_);
        input_bits_ |= kRightButtonBit;
        right_capture_ = true;
        Press(kCancel);
      }
      return 0;
    case Msg::RButtonUp:
      if (right_capture_ && !left_capture_) platform::ReleaseCapture();
      input_bits_ &= ~kRightButtonBit;
      right_capture_ = false;
      return 0;
    case Msg::MouseWheel:
      system_.shared().wheel.Turned(static_cast<int16_t>(message.wparam >> 16));
      return 0;
    default:
      return platform::DefaultWindowProc(message);
  }
}

void MainWindow::OpenCommandMenu() {
  system_.menuTracking = 1;
  const uint32_t saved_kind = system_.shared().cursorKind.exchange(0);
  ClearInput();
  if (!system_.shared().cursorVisible) ForceCursor(true);
  const uint16_t chosen = system_.TrackCommandMenu(platform::CursorPos());
  if (!system_.shared().cursorVisible) ForceCursor(false);
  platform::PostMessage(handle_, Msg::Command, chosen, platform::kChosenInMenu);
  system_.shared().cursorKind = saved_kind;
  SetCursorByKind();
  system_.menuTracking = 0;
}

void MainWindow::HandleSetCursor() {
  // The item window, when shown and under the cursor, decides instead of the main window.
  ShellWindows* shell = system_.shell();
  platform::WindowId reference = handle_;
  const platform::Point screen = platform::CursorPos();
  if (shell && shell->itemWindowShown() && platform::IsWindow(shell->itemWindow()) &&
      platform::FrameRect(shell->itemWindow()).Contains(screen)) {
    reference = shell->itemWindow();
  } else if (system_.menuTracking) {
    platform::SetCursor({});
    return;
  }
  const platform::Point client = platform::ScreenToClient(reference, screen);
  if (client.y < 0) {
    if (!system_.shared().cursorVisible) {
      cursor_forced_visible_ = true;
      ForceCursor(true);
    }
    platform::SetCursor({});
    return;
  }
  if (cursor_forced_visible_ && !system_.shared().cursorVisible) {
    cursor_forced_visible_ = false;
    ForceCursor(false);
  }
  const uint32_t kind = system_.shared().cursorKind.load();
  if (kind == 0) {
    platform::SetCursor({});
  } else if (kind == 2) {
    platform::SetCursor({system_.shared().cursorId.load()});
  } else {
    SetCursorByKind();
    platform::SetCursorPos(screen);  // so that the new shape shows at once
  }
}

}  // namespace tvx
