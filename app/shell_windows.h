// System commands (minimize, restore, close with its confirmation), the command handler,
// the wheel state, and the secondary windows (NOW FILE view, item window).
#pragma once

#include <cstdint>

#include "platform/settings_file.h"
#include "platform/types.h"

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

  // Wheel state.
  void OnWheel(int16_t delta);
  void ResetWheel() {
    last_wheel_delta_ = 0;
    notch_count_ = 0;
  }
  int WheelDirection() const { return last_wheel_delta_ < 0 ? 2 : (last_wheel_delta_ > 0 ? 1 : 0); }
  uint16_t WheelNotches() const { return notch_count_; }
  void SetWheelNotches(uint16_t n) { notch_count_ = n; }
  int16_t lastWheelDelta() const { return last_wheel_delta_; }

  bool itemWindowShown() const { return item_window_shown_; }
  platform::WindowId itemWindow() const { return item_window_; }

 private:
  intptr_t ConfirmQuit(const platform::Message& message);

  GameSystem& system_;
  [[maybe_unused]] VariableArea& variables_;
  SettingsFile settings_;
  bool now_file_shown_ = false;
  bool item_window_shown_ = false;
  platform::WindowId now_file_view_ = platform::kNoWindow;
  platform::WindowId item_window_ = platform::kNoWindow;
  int16_t last_wheel_delta_ = 0;
  uint16_t notch_count_ = 0;
};

}  // namespace tvx
