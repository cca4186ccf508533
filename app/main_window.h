// The game's one window: its procedure turns messages into calls on the game system, and it
// keeps the input state that scripts query (decide, cancel, mouse buttons) and the run state.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/settings_file.h"
#include "platform/types.h"
#include "script/player_input.h"
#include "ui/menu_tree.h"
#include "ui/modal_input.h"

namespace tvx {

class GameSystem;

class MainWindow {
 public:
  static constexpr uint32_t kRunning = 0;
  static constexpr uint32_t kQuit = 255;

  // inputBits
  static constexpr uint16_t kEnterBit = 0x0001;
  static constexpr uint16_t kEscapeBit = 0x0004;
  static constexpr uint16_t kLeftButtonBit = 0x2000;
  static constexpr uint16_t kRightButtonBit = 0x4000;

  // Flag byte that lets the right button reach the script instead of opening the menu.
  static constexpr size_t kRightButtonToScriptFlag = 2006;

  // QueryInput codes: the scripts' names of the player's inputs.
  using enum PlayerInput;

  explicit MainWindow(GameSystem& system) : system_(system) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  // A window still standing (start-up stopped after creating it) goes with its object, so
  // that its procedure never runs on a destroyed one.
  ~MainWindow();

  // Start-up step: the window title from the settings (at most 127 characters).
  void ReadTitle();
  // Creates, shows and focuses the window; false when it could not be created.
  bool CreateMainWindow(bool windowed);
  bool DestroyMainWindow();

  platform::WindowId handle() const { return handle_; }
  // The right-button command menu.
  MenuTree& menus() { return menus_; }
  const std::string& title() const { return title_; }
  uint32_t runState() const { return run_state_.load(std::memory_order_acquire); }
  void SetRunState(uint32_t state) { run_state_.store(state, std::memory_order_release); }
  uint16_t inputBits() const { return input_bits_; }
  bool leftCapture() const { return left_capture_; }
  bool rightCapture() const { return right_capture_; }

  // 1 while the input is active, and once for a press not yet reported by a query of that
  // input: a press and its release can both be handled between two looks of a waiting loop.
  int QueryInput(int k);
  // Drops the bits and the presses not yet reported (the capture flags stay).
  void ClearInput() {
    input_bits_ = 0;
    ForgetPresses();
  }
  // Drops the presses not yet reported, so that a waiting loop starting now answers only to
  // presses made during it; what is held still counts.
  void ForgetPresses() { presses_.fill(false); }
  // Shows (or hides) the system cursor whatever its display counter was.
  void ForceCursor(bool show);
  // While a modal part runs on the window it takes the keyboard and mouse (see ModalInput);
  // one at a time. Returns false, and changes nothing, when another one is running.
  bool BeginModal(ModalInput& modal);
  void EndModal(ModalInput& modal);
  bool modal() const { return modal_ != nullptr; }
  // Sets the mouse cursor from the game system's cursor kind (program thread).
  void SetCursorByKind();
  // The cursor that the kind asks for; any thread may ask.
  platform::CursorShape CursorForKind() const;
  // The cursor handler of the main window and of the item window: the arrow above a client
  // area (shown even while the game hides the cursor), the game's cursor within it.
  void HandleSetCursor();

 private:
  static intptr_t Procedure(void* context, const platform::Message& message);
  intptr_t Handle(const platform::Message& message);
  int InputState(int k);
  void Press(PlayerInput input) { presses_[static_cast<size_t>(input)] = true; }
  void OpenCommandMenu();
  // Alt+Enter and F11 switch the screen mode, once per press (held keys repeat); true when
  // the message was one of theirs.
  bool HandleScreenModeKey(const platform::Message& message);

  GameSystem& system_;
  SettingsFile settings_;
  MenuTree menus_;
  platform::WindowId handle_ = platform::kNoWindow;
  std::string title_ = "TALVEX";
  std::atomic<uint32_t> run_state_{kRunning};
  uint16_t input_bits_ = 0;
  // Per input (PlayerInput number): pressed since the last query that reported it.
  std::array<bool, kSpace + 1> presses_{};
  bool left_capture_ = false;
  bool right_capture_ = false;
  bool cursor_forced_visible_ = false;
  bool screen_key_held_ = false;
  ModalInput* modal_ = nullptr;
};

// Runs a modal part on the main window for the life of the scope.
class ModalScope {
 public:
  ModalScope(MainWindow& window, ModalInput& modal)
      : window_(window), modal_(modal), began_(window.BeginModal(modal)) {}
  ~ModalScope() {
    if (began_) window_.EndModal(modal_);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
  // False when another modal part was running already.
  bool began() const { return began_; }

 private:
  MainWindow& window_;
  ModalInput& modal_;
  bool began_;
};

}  // namespace tvx
