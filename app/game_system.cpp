#include "app/game_system.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "app/cursor_resources.h"
#include "app/pump.h"
#include "app/shell_windows.h"
#include "platform/error_box.h"
#include "platform/file.h"
#include "platform/platform.h"
#include "platform/trace.h"
#include "resources/gbk.h"
#include "script/script_interpreter.h"
#include "ui/popup_menu_tracker.h"

namespace tvx {

namespace {

// Flag byte 2007: present straight to the window, with the overlay composed over it.
constexpr size_t kDirectPresentationFlag = 2007;
constexpr size_t kKeyColourOffset = VariableArea::kSystemWordsOffset + 2 * kWordKeyColour;

// "系统错误" / "在系统的构筑中失败了。"
constexpr std::string_view kSystemErrorCaption = "\xCF\xB5\xCD\xB3\xB4\xED\xCE\xF3";
constexpr std::string_view kStartupFailedText =
    "\xD4\xDA\xCF\xB5\xCD\xB3\xB5\xC4\xB9\xB9\xD6\xFE\xD6\xD0\xCA\xA7\xB0\xDC\xC1\xCB\xA1\xA3";

constexpr std::array<std::string_view, GameSystem::kNowFileSlots> kNowFileTemplates = {
    "",
    "********.MES",
    "********.GP8",
    "********.***",
    "********.WAV",
    "********.WAV",
    "********.WAV",
    "********.WAV",
    "********.WAV",
    "********.WAV",
};

template <typename T, typename... Args>
std::unique_ptr<T> Make(Args&&... args) {
  return std::unique_ptr<T>(new (std::nothrow) T(std::forward<Args>(args)...));
}

}  // namespace

GameSystem::GameSystem(Options options)
    : options_(options),
      main_window_(*this),
      display_(options.windowed),
      graphics_(planes_, *this),
      variables_(Make<VariableArea>()) {
  if (!variables_) return;
  interpreter_ = std::make_unique<ScriptInterpreter>(
      ScriptParts{*variables_, shared_, *this, planes_, graphics_});
  planes_.SetDirectPresentationFlag(
      variables_->bytes()[VariableArea::kFlagsOffset + kDirectPresentationFlag]);
  planes_.SetKeyColourWord(variables_->bytes().subspan<kKeyColourOffset, 2>());
}

GameSystem::~GameSystem() {
  TVX_TRACE(App, "destroy ShellWindows");
  shell_.reset();
  TVX_TRACE(App, "destroy TickThread");
  ticks_.reset();
  TVX_TRACE(App, "destroy SoundManager, AnimationTable, DungeonView");
  if (interpreter_) interpreter_->Attach({});
  sound_.reset();
  animations_.reset();
  dungeon_.reset();
  TVX_TRACE(App, "destroy ArchiveSet");
  if (archives_) archives_->CloseAll();
  archives_.reset();
  TVX_TRACE(App, "destroy embedded components");
  if (CurrentGameSystem() == this) SetCurrentPointers(nullptr, nullptr);
  // The embedded members go in reverse order of construction; the display mode is given
  // back by DisplayDevice's destructor.
}

void GameSystem::ShowFileName(size_t slot, std::string_view name) {
  if (slot == 0 || slot >= kNowFileSlots) return;
  nowFileNames[slot] = std::string(name.substr(0, std::min(name.size(), kNameCapacity - 1)));
  // A long game shows many names; the record keeps the most recent ones.
  constexpr size_t kRecordLimit = 100000;
  if (shown_files_.size() >= kRecordLimit)
    shown_files_.erase(shown_files_.begin(), shown_files_.begin() + kRecordLimit / 2);
  shown_files_.push_back({slot, nowFileNames[slot]});
  if (shell_) shell_->RefreshNowFile();
}

void GameSystem::WarnMaker(std::string_view key, std::string_view text) {
  if (std::find(warning_keys_.begin(), warning_keys_.end(), key) != warning_keys_.end()) return;
  warning_keys_.emplace_back(key);
  maker_warnings_.emplace_back(text);
  std::fprintf(stderr, "talvex: warning: %.*s\n", static_cast<int>(text.size()), text.data());
  if (debugMode()) ErrorBox(gbk::FromUtf8("警告"), gbk::FromUtf8(text));
}

void GameSystem::BuildMenus() {
  main_window_.menus().Build(debugMode());
}

void GameSystem::UpdateMenuChecks() {
  MenuOptions options;
  options.moveSpeed = shared_.moveSpeed;
  options.soundOn = shared_.soundOn;
  options.voiceOn = shared_.voiceOn;
  options.debug = debugMode();
  options.fullScreen = display_.fullscreenInUse();
  main_window_.menus().UpdateChecks(options);
}

uint16_t GameSystem::TrackCommandMenu(platform::Point screen) {
  MenuTree& menus = main_window_.menus();
  // The game commands as the scripts allow them now.
  menus.Sync(shared_.commands);
  const platform::WindowId window = main_window_.handle();
  PopupMenuTracker tracker(menus, window, *this,
                           {VramPlaneSet::kScreenWidth, VramPlaneSet::kScreenHeight});
  ModalScope modal(main_window_, tracker);
  if (!modal.began()) return 0;
  return tracker.TrackPopup(platform::ScreenToClient(window, screen));
}

void GameSystem::SetScreenMode(bool full) {
  // A mode the system refuses leaves the picture where it was; the checks say where.
  if (options_.windowed)
    display_.SetDesktopFullscreen(full);
  else if (full)
    display_.EnterFullscreen(640, 480, 16);
  else
    display_.LeaveFullscreen();
  UpdateMenuChecks();
}

void GameSystem::PlaySystemSound(std::string_view name) {
  if (shared_.interfaceSounds && sound_) sound_->PlayFile(name, SoundManager::kEffect2);
}

void GameSystem::TickTasks() {
  graphics_.FadeStep();
  // The cursor: the arrow, the script's image, or the animated cursor's next frame.
  uint16_t cursor = 0;
  switch (shared_.cursorKind.load(std::memory_order_relaxed)) {
    case 0:
      break;
    case 2:
      cursor = shared_.cursorId.load(std::memory_order_relaxed);
      break;
    default:
      cursor = animations_->CursorTick(shared_.cursorId.load(std::memory_order_relaxed));
      break;
  }
  wanted_cursor_.store(kCursorRequested | cursor, std::memory_order_release);
  // A new cursor (the animated cursor's next frame) is carried out at once by a loop waiting
  // for the player; the same one again waits for the loop's next turn.
  if (cursor != clock_cursor_) {
    clock_cursor_ = cursor;
    platform::WakeIdleWait();
  }
  animations_->Tick();
}

void GameSystem::ApplyWantedCursor() {
  // Called before every command: the common case, no new request, is a plain load.
  if (wanted_cursor_.load(std::memory_order_acquire) == 0) return;
  const uint32_t wanted = wanted_cursor_.exchange(0, std::memory_order_acq_rel);
  if (wanted & kCursorRequested) platform::SetCursor({static_cast<uint16_t>(wanted & 0xFFFF)});
}

bool GameSystem::PumpWaiting() {
  if (animations_) animations_->Observe();
  return PumpOnceWaiting() != 0;
}

bool GameSystem::PumpWaitingForInput() {
  if (animations_) animations_->Observe();
  return PumpOnceWaitingForInput() != 0;
}

bool GameSystem::SkipHeld() {
  return main_window_.QueryInput(kShift) != 0;
}

int GameSystem::QueryInput(int input) {
  return main_window_.QueryInput(input);
}

bool GameSystem::PumpAndCheckQuit() {
  if (animations_) animations_->Observe();
  tvx::PumpOnce();
  // The interpreter's look at the run state: 3 goes back to running; 255 ends the game.
  const uint32_t state = main_window_.runState();
  if (state == 3) main_window_.SetRunState(MainWindow::kRunning);
  return state == MainWindow::kQuit;
}

bool GameSystem::Prepare() {
  shared_.cursorVisible = 1;
  shared_.itemWindowAvailable = {0, 0};
  for (size_t i = 0; i < kNowFileSlots; ++i) nowFileNames[i] = kNowFileTemplates[i];
  if (!variables_ || !interpreter_) return false;

  archives_ = Make<ArchiveSet>();
  if (!archives_ || !archives_->OpenAll(ArchiveOptions::Read(settings_))) return false;
  shell_ = Make<ShellWindows>(*this, *variables_);
  if (!shell_) return false;
  // The random numbers start from the time the game starts.
  interpreter_->evaluator().SeedFromLocalTime();
  main_window_.ReadTitle();
  animations_ = Make<AnimationTable>(planes_, *variables_);
  if (!animations_) return false;
  dungeon_ = Make<DungeonView>(planes_);
  return dungeon_ != nullptr;
}

bool GameSystem::CreateDevices() {
  const platform::WindowId window = main_window_.handle();
  if (!display_.Create(window)) return false;
  RegisterCursorResources();
  if (!display_.EnterFullscreen(640, 480, 16)) return false;
  sound_ = Make<SoundManager>(archives_.get());
  if (!sound_ || !sound_->Init(SoundVolumes::Read(settings_))) return false;
  if (!planes_.CreateAll(window)) return false;
  if (!graphics_.Create()) return false;
  planes_.SetPaintable(true);
  ticks_ = Make<TickThread>([this] { TickTasks(); });
  if (!ticks_ || !ticks_->Start()) return false;
  // The script machine reaches the devices once they all exist; it runs only after this.
  interpreter_->Attach({archives_.get(), sound_.get(), ticks_.get(), animations_.get(),
                        dungeon_.get(), shell_.get()});
  tvx::PumpOnce();
  return true;
}

void GameSystem::ReadOptions() {
  shared_.moveSpeed = static_cast<uint32_t>(settings_.ReadInt("Config", "DUNGEON", 1));
  shared_.soundOn = static_cast<uint32_t>(settings_.ReadInt("Config", "SOUND", 1));
  if (shared_.soundOn == 0) {
    // Muted for now; what the user chose stays remembered.
    sound_->ApplySoundSwitch(false);
  }
  shared_.voiceOn = static_cast<uint32_t>(settings_.ReadInt("Config", "VOICE", 1));
}

void GameSystem::PlayStartScript() {
  start_script_ = settings_.ReadString("Config", "StartMES", "MAIN.MES", 128);
  // A failed load has shown its box; the interpreter then runs the image as it is.
  const bool loaded = interpreter_->LoadScriptByName(start_script_) != 0;
  ticks_->Resume();
  interpreter_->Run();
  ticks_->Pause();
  ending_ = Halted() ? Ending::kHalted : loaded ? Ending::kGameEnded : Ending::kStartScriptMissing;
  main_window_.SetRunState(MainWindow::kRunning);
}

GameSystem::Ending GameSystem::ReplayStartScript(uint32_t seed) {
  halted_.store(false, std::memory_order_release);
  shown_files_.clear();
  warning_keys_.clear();
  maker_warnings_.clear();
  for (int channel = 0; channel < SoundManager::kChannels; ++channel) sound_->StopChannel(channel);
  sound_->log().Clear();
  animations_->StopAll();
  ResetMachine();
  interpreter_->evaluator().SetSeed(seed);
  ticks_->ResetTicks();
  PlayStartScript();
  return ending_;
}

int GameSystem::RunGame() {
  PlayStartScript();
  if (!main_window_.DestroyMainWindow()) return 0;
  // Drain what is left until the quit message comes through.
  int exit_code = 0;
  while (main_window_.runState() != MainWindow::kQuit) {
    platform::PostQuitMessage(18);
    if (!platform::PeekMessage(false)) continue;
    const auto message = platform::PeekMessage(true);
    if (!message) continue;
    exit_code = static_cast<int>(message->wparam);
    if (message->kind == platform::Msg::Quit) break;
    platform::TranslateMessage(*message);
    platform::DispatchMessage(*message);
  }
  return exit_code;
}

void GameSystem::Halt() {
  halted_.store(true, std::memory_order_release);
  main_window_.SetRunState(MainWindow::kQuit);
}

bool GameSystem::StartUp() {
  TVX_TRACE(App, "start-up");
  ending_ = Ending::kStartUpFailed;
  // A save or a settings write killed before its rename left its temporary file behind: the
  // game folder's, and the settings file's beside the program.
  const std::string settings_dir = platform::DirectoryOf(settings_.path());
  platform::RemoveStaleTemporaryFiles({});
  platform::RemoveStaleTemporaryFiles(settings_dir, settings_.path().substr(settings_dir.size()));
  if (!Prepare()) {
    ErrorBox(kSystemErrorCaption, kStartupFailedText);
    return false;
  }
  if (!main_window_.CreateMainWindow(options_.windowed)) return false;
  tvx::PumpOnce();
  if (!CreateDevices()) {
    ErrorBox(kSystemErrorCaption, kStartupFailedText);
    return false;
  }
  ending_ = Ending::kNotYet;
  ReadOptions();
  // Debug mode's "SCREEN" asks for full screen at start; the windowed program also comes back
  // in the mode the player left it in.
  const bool screen_asked = settings_.ReadInt("Config", "bDEBUG", 0) != 0 &&
                            settings_.ReadInt("Config", "SCREEN", 0) != 0;
  if (screen_asked || (options_.windowed && settings_.ReadInt("TALVEX", "FullScreen", 0) != 0))
    SetScreenMode(true);
  UpdateMenuChecks();
  ResetMachine();
  return true;
}

void GameSystem::ResetMachine() {
  variables_->Initialise(shared_.moveSpeed);
  interpreter_->Reset();
  graphics_.Initialise(settings_.ReadInt("GRAPHICS", "bBGTYPE", 0));
  // The text drawing state starts from the variables' colours.
  graphics_.SetColours(variables_->Word(kWordOutlineColour), variables_->Word(kWordFaceColour));
}

int GameSystem::RunSystem() {
  return StartUp() ? RunGame() : 0;
}

}  // namespace tvx
