// The one game-system object, the program's composition root: it builds every component and
// wires them together, runs start-up, hands control to the interpreter and shuts down in
// order. It is also what the script machine sees of the program (ScriptHost).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "archive/archive_set.h"
#include "graphics/display_device.h"
#include "graphics/dungeon_view.h"
#include "graphics/graphics_engine.h"
#include "graphics/vram_plane_set.h"
#include "platform/framebuffer.h"
#include "platform/settings_file.h"
#include "platform/tick_thread.h"
#include "platform/types.h"
#include "script/animation_table.h"
#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "script/shared_state.h"
#include "script/variable_area.h"
#include "sound/sound_manager.h"

namespace tvx {

class DeveloperTools;
class ShellWindows;

class GameSystem final : public ScriptHost {
 public:
  struct Options {
    bool windowed = false;  // the windowed presentation: full screen is never entered
  };

  GameSystem() : GameSystem(Options{}) {}
  explicit GameSystem(Options options);
  GameSystem(const GameSystem&) = delete;
  GameSystem& operator=(const GameSystem&) = delete;
  ~GameSystem();

  // The whole life of the program: start-up, the interpreter, shutdown. The exit code.
  int RunSystem();
  // Its two halves. StartUp prepares, creates the window and the devices, reads the options
  // and resets the script machine; false when the program must end (any box was shown).
  bool StartUp();
  // Loads the start script, runs the interpreter, destroys the window and drains the queue.
  int RunGame();

  // Why the program ended, for whoever runs it and wants to know more than the exit code.
  enum class Ending {
    kNotYet,              // still starting or running
    kStartUpFailed,       // preparation, the window or the devices could not be made
    kStartScriptMissing,  // the start script could not be loaded; the box said which
    kGameEnded,           // the script ended, or the player quit
    kHalted,              // stopped from outside (Halt) where it stood
  };
  Ending ending() const { return ending_; }
  // Plays the start script once more in the window StartUp made, with the script machine,
  // the variables, the picture state, the animation slots and the sound channels set back as
  // StartUp leaves them, and the random numbers seeded with `seed`. For a harness that plays
  // many short games in one system (a fuzzer), where building the system for each would cost
  // far more than the game. Reads the start script anew: put another in its place between
  // runs. The record of the files shown and the maker's warnings start afresh too.
  Ending ReplayStartScript(uint32_t seed);
  // The name of the start script that RunGame loaded or tried to load.
  const std::string& startScript() const { return start_script_; }
  // Stops the game where it stands: the interpreter runs no further command and every wait
  // ends, and the program shuts down as after a quit.
  void Halt();

  // Embedded components.
  VramPlaneSet& planes() { return planes_; }
  MainWindow& mainWindow() { return main_window_; }
  SettingsFile& settings() { return settings_; }
  DisplayDevice& display() { return display_; }
  GraphicsEngine& graphics() { return graphics_; }
  VariableArea& variables() { return *variables_; }
  ScriptInterpreter& interpreter() { return *interpreter_; }
  SharedState& shared() { return shared_; }

  // Owned components; null until start-up creates them.
  ArchiveSet* archives() { return archives_.get(); }
  ShellWindows* shell() { return shell_.get(); }
  AnimationTable* animations() { return animations_.get(); }
  DungeonView* dungeon() { return dungeon_.get(); }
  SoundManager* sound() { return sound_.get(); }
  TickThread* ticks() { return ticks_.get(); }

  // The periodic tasks of the 15 ms clock (on the tick thread): the channel fade step, the
  // wanted mouse cursor (applied by the pump on the program thread), the animation slots.
  void TickTasks();
  // Sets the cursor that the clock asked for, if it asked; called by the pump.
  void ApplyWantedCursor();

  // What the script machine asks of the program.
  bool PumpAndCheckQuit() override;
  bool Halted() const override { return halted_.load(std::memory_order_acquire); }
  bool PumpWaiting() override;
  bool PumpWaitingForInput() override;
  bool SkipHeld() override;
  int QueryInput(int input) override;
  void ForgetPresses() override { main_window_.ForgetPresses(); }

  // Full screen or the window: the display mode in the full-screen program, the window laid
  // over the desktop in the windowed one. The check marks follow the mode in use.
  void SetScreenMode(bool full);
  bool fullScreen() const { return display_.fullscreenInUse(); }
  bool windowed() const { return options_.windowed; }

  // Builds the command menus once the main window exists.
  void BuildMenus();
  // Sets the menus' check marks from the options.
  void UpdateMenuChecks();
  // Debug mode: "bDEBUG" is 1 in the settings.
  bool debugMode() const { return settings_.ReadInt("Config", "bDEBUG", 0) == 1; }
  // Shows a file name in a NOW FILE slot (1-9) and has the view repaint; every name shown
  // is also kept in order for the run tool's record.
  void ShowFileName(size_t slot, std::string_view name) override;
  struct ShownFile {
    size_t slot;
    std::string name;
  };
  const std::vector<ShownFile>& shownFiles() const { return shown_files_; }
  // Says a maker's warning once per key: on standard error, and in a box in debug mode.
  void WarnMaker(std::string_view key, std::string_view text) override;
  // The warnings said so far, in order.
  const std::vector<std::string>& makerWarnings() const { return maker_warnings_; }
  // Shows the right-button command menu; the chosen command, 0 for none.
  uint16_t TrackCommandMenu(platform::Point screen);

  static constexpr size_t kNowFileSlots = 10;  // slots 1-9 are used
  static constexpr size_t kNameCapacity = 128;

  std::array<std::string, kNowFileSlots> nowFileNames;
  uint32_t menuTracking = 0;
  // Plays one of the engine's own sounds ("ERROR.WAV", "WINOPN.WAV", "WINCLS.WAV") on
  // channel 3, while the interface sounds are on.
  void PlaySystemSound(std::string_view name);
  // What the main window showed when it was destroyed (the run tool's and tests' last look).
  platform::Framebuffer finalScreen;
  // The debug menu's DUMP and COMMAND work through these, when the program installed them.
  DeveloperTools* developerTools() const { return developer_tools_; }
  void SetDeveloperTools(DeveloperTools* tools) { developer_tools_ = tools; }

 private:
  bool Prepare();
  bool CreateDevices();
  void ReadOptions();
  // The script machine, the variables and the picture state as a new game has them.
  void ResetMachine();
  // Loads the start script and runs the interpreter until the game ends.
  void PlayStartScript();

  Options options_;
  Ending ending_ = Ending::kNotYet;
  std::string start_script_;
  std::atomic<bool> halted_{false};
  DeveloperTools* developer_tools_ = nullptr;
  std::vector<ShownFile> shown_files_;
  std::vector<std::string> warning_keys_;
  std::vector<std::string> maker_warnings_;
  static constexpr uint32_t kCursorRequested = 0x10000;
  std::atomic<uint32_t> wanted_cursor_{0};
  uint32_t clock_cursor_ = UINT32_MAX;  // the clock's thread's last cursor request
  SharedState shared_;
  // Embedded, in construction order.
  VramPlaneSet planes_;
  MainWindow main_window_;
  SettingsFile settings_;
  DisplayDevice display_;
  GraphicsEngine graphics_;
  // The variables with the script image behind them: one large block of its own.
  std::unique_ptr<VariableArea> variables_;
  // The interpreter's state: program counter, nesting, call stack, procedures, menus.
  std::unique_ptr<ScriptInterpreter> interpreter_;

  std::unique_ptr<ArchiveSet> archives_;
  std::unique_ptr<ShellWindows> shell_;
  std::unique_ptr<AnimationTable> animations_;
  std::unique_ptr<DungeonView> dungeon_;
  std::unique_ptr<SoundManager> sound_;
  std::unique_ptr<TickThread> ticks_;
};

}  // namespace tvx
