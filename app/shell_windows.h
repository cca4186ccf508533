// System commands (minimize, restore, close with its confirmation), the command handler,
// and the secondary windows (NOW FILE view, item window).
#pragma once

#include <cstdint>
#include <memory>

#include "app/developer_commands.h"
#include "platform/settings_file.h"
#include "platform/types.h"
#include "ui/debug_views.h"

namespace tvx {

class GameSystem;
class VariableArea;

class ShellWindows {
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

  bool itemWindowShown() const { return item_window_shown_; }
  platform::WindowId itemWindow() const { return item_window_; }
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
  bool now_file_shown_ = false;
  bool item_window_shown_ = false;
  platform::WindowId now_file_view_ = platform::kNoWindow;
  platform::WindowId item_window_ = platform::kNoWindow;
  DebugViews debug_views_;
  DeveloperCommands developer_commands_;
};

}  // namespace tvx
