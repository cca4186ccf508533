// System commands (minimize, restore, close with its confirmation), the command handler,
// and the secondary windows (NOW FILE view, item window).
#pragma once

#include <cstdint>
#include <memory>

#include "app/developer_commands.h"
#include "app/item_window.h"
#include "platform/settings_file.h"
#include "platform/types.h"
#include "script/item_window_host.h"
#include "ui/debug_views.h"
#include "ui/now_file_view.h"

namespace tvx {

class GameSystem;
class VariableArea;

class ShellWindows final : public ItemWindowHost {
 public:
  ShellWindows(GameSystem& system, VariableArea& variables);
  ShellWindows(const ShellWindows&) = delete;
  ShellWindows& operator=(const ShellWindows&) = delete;
  ~ShellWindows();

  // For every system command of the main window except the key-menu request.
  intptr_t HandleSystemCommand(const platform::Message& message);
  // The main window was minimized.
  void OnMinimized();
  // A command message from the menu or an accelerator.
  void HandleCommand(uint16_t identifier);
  // The volume dialog, modal on the main window (not inside another menu or dialog); the
  // volumes set in it are saved when it closes.
  void OpenVolumeDialog();
  // Full screen or the window, as the player chose it; the windowed program starts in that
  // mode next time ("TALVEX"/"FullScreen").
  void ChooseScreenMode(bool full);
  // Alt+Enter and F11: the other mode, in the windowed program.
  void ToggleScreenMode();

  bool itemWindowShown() const { return item_window_.shown(); }
  platform::WindowId itemWindow() const { return item_window_.handle(); }
  // The item bar as the item window last showed it; null before the window was created.
  const platform::Framebuffer* itemWindowPicture() const { return item_window_.picture(); }

  // The item window, as the scripts work it.
  void CreateItemWindow() override { item_window_.Create(); }
  void ShowItemWindow() override { item_window_.Show(); }
  void HideItemWindow() override { item_window_.Hide(); }
  void RedrawItemWindow() override { item_window_.Redraw(); }
  bool ItemWindowShown() const override { return item_window_.shown(); }
  platform::WindowId ItemWindowHandle() const override { return item_window_.handle(); }
  bool ItemWindowLeftHeld() const override { return item_window_.leftCapture(); }
  bool ItemWindowRightHeld() const override { return item_window_.rightCapture(); }

  // Opens or shows the NOW FILE view; RefreshNowFile repaints it when a name changed.
  void ShowNowFile();
  void RefreshNowFile() { now_file_.Refresh(); }
  const NowFileView& nowFileView() const { return now_file_; }
  // The debug menu's views of the planes and the variables.
  DebugViews& debugViews() { return debug_views_; }

 private:
  intptr_t ConfirmQuit(const platform::Message& message);
  // The music-and-effects switch and the maze walker's speed: kept in the settings file, and
  // the check marks follow.
  void SetSound(bool on);
  void SetMoveSpeed(uint32_t speed);
  // Opens the debug view of a command, in debug mode; false for any other command.
  bool RunDebugView(uint16_t identifier);

  GameSystem& system_;
  [[maybe_unused]] VariableArea& variables_;
  SettingsFile settings_;
  NowFileView now_file_;
  ItemWindow item_window_;
  DebugViews debug_views_;
  DeveloperCommands developer_commands_;
};

}  // namespace tvx
