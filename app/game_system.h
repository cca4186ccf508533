// The one game-system object: it owns every component, runs start-up, hands control to the
// interpreter and shuts down in order.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "app/settings_file.h"
#include "archive/archive_set.h"
#include "graphics/display_device.h"
#include "graphics/dungeon_view.h"
#include "graphics/graphics_engine.h"
#include "graphics/vram_plane_set.h"
#include "platform/framebuffer.h"
#include "platform/types.h"
#include "script/animation_table.h"
#include "script/expression_evaluator.h"
#include "script/script_interpreter.h"
#include "script/variable_area.h"
#include "sound/sound_manager.h"
#include "sound/tick_thread.h"

namespace tvx {

class ShellWindows;

class GameSystem {
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

  // Embedded components.
  VramPlaneSet& planes() { return planes_; }
  MainWindow& mainWindow() { return main_window_; }
  SettingsFile& settings() { return settings_; }
  DisplayDevice& display() { return display_; }
  GraphicsEngine& graphics() { return graphics_; }
  VariableArea& variables() { return *variables_; }
  ScriptInterpreter& interpreter() { return *interpreter_; }

  // Owned components; null until start-up creates them.
  ArchiveSet* archives() { return archives_.get(); }
  ShellWindows* shell() { return shell_.get(); }
  ExpressionEvaluator* evaluator() { return evaluator_.get(); }
  AnimationTable* animations() { return animations_.get(); }
  DungeonView* dungeon() { return dungeon_.get(); }
  SoundManager* sound() { return sound_.get(); }
  TickThread* ticks() { return ticks_.get(); }

  // The periodic tasks of the 15 ms clock (on the tick thread): the channel fade step, the
  // wanted mouse cursor (applied by the pump on the program thread), the animation slots.
  void TickTasks();
  // Sets the cursor that the clock asked for, if it asked; called by the pump.
  void ApplyWantedCursor();
  // Any thread: asks for a rectangle of the window to be repainted from plane 0. Requests
  // made before the pump applies them are merged into one rectangle.
  void RequestRepaint(int x, int y, int w, int h);
  // Program thread (the pump): carries out the repaint asked for, if any.
  void ApplyPendingRepaint();

  // Builds the command menus once the main window exists (menu commands come later).
  void BuildMenus() {}
  // Sets the menus' check marks from the options.
  void UpdateMenuChecks() {}
  // Shows a file name in a NOW FILE slot (1-9) and has the view repaint; every name shown
  // is also kept in order for the run tool's record.
  void ShowFileName(size_t slot, std::string_view name);
  struct ShownFile {
    size_t slot;
    std::string name;
  };
  const std::vector<ShownFile>& shownFiles() const { return shown_files_; }
  // Shows the right-button command menu; the chosen command, 0 for none.
  uint16_t TrackCommandMenu(platform::Point screen) {
    (void)screen;
    return 0;
  }

  static constexpr size_t kNowFileSlots = 10;  // slots 1-9 are used
  static constexpr size_t kNameCapacity = 128;

  // Shared state.
  uint32_t moveSpeed = 1;
  uint32_t soundOn = 1;
  uint32_t voiceOn = 1;
  uint32_t cursorVisible = 1;
  std::atomic<uint32_t> cursorKind{0};
  std::atomic<uint16_t> cursorId{0};
  std::array<std::string, kNowFileSlots> nowFileNames;
  std::array<uint32_t, 2> itemWindowAvailable{};
  uint32_t menuTracking = 0;
  uint32_t interfaceSounds = 0;  // EFFECT 11/12: the engine's own sounds on errors and windows
  // Plays one of the engine's own sounds ("ERROR.WAV", "WINOPN.WAV", "WINCLS.WAV") on
  // channel 3, while the interface sounds are on.
  void PlaySystemSound(std::string_view name);
  bool graphicsReady = false;
  // Presentation: an overlay composed over plane 0 on its way to the window, and the bottom
  // strip that such a presentation leaves to be repaired by the next one without it.
  // What the main window showed when it was destroyed (the run tool's and tests' last look).
  platform::Framebuffer finalScreen;
  // The thirteen pictures of EFFECT 9, where they were loaded (shown by EFFECT 10).
  std::array<std::span<const uint8_t>, 13> thirteenPictures{};
  bool overlayActive = false;
  bool stripDirty = false;
  // Draws the overlay onto the work plane; the rectangle it covers on the screen. The
  // overlay's own drawing comes with its system call.
  platform::Rect DrawOverlay(VramPlane& work) {
    (void)work;
    return {};
  }

 private:
  bool Prepare();
  bool CreateDevices();
  void ReadOptions();

  Options options_;
  std::vector<ShownFile> shown_files_;
  static constexpr uint32_t kCursorRequested = 0x10000;
  std::atomic<uint32_t> wanted_cursor_{0};
  // Left, top, right, bottom in 16 bits each; 0 when nothing is pending.
  std::atomic<uint64_t> pending_repaint_{0};
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
  std::unique_ptr<ExpressionEvaluator> evaluator_;
  std::unique_ptr<AnimationTable> animations_;
  std::unique_ptr<DungeonView> dungeon_;
  std::unique_ptr<SoundManager> sound_;
  std::unique_ptr<TickThread> ticks_;
};

}  // namespace tvx
