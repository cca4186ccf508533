#include "app/game_system.h"

#include <algorithm>
#include <new>

#include "app/pump.h"
#include "app/shell_windows.h"
#include "platform/platform.h"
#include "platform/trace.h"
#include "script/script_interpreter.h"

namespace tvx {

namespace {

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
      planes_(*this),
      main_window_(*this),
      display_(options.windowed),
      graphics_(*this),
      variables_(Make<VariableArea>()) {
  if (variables_) interpreter_ = std::make_unique<ScriptInterpreter>(*this);
}

GameSystem::~GameSystem() {
  TVX_TRACE(App, "destroy ShellWindows");
  shell_.reset();
  TVX_TRACE(App, "destroy TickThread");
  ticks_.reset();
  TVX_TRACE(App, "destroy ExpressionEvaluator, SoundManager, AnimationTable, DungeonView");
  evaluator_.reset();
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
  // The NOW FILE view that repaints these names comes with the menu commands.
}

void GameSystem::PlaySystemSound(std::string_view name) {
  if (interfaceSounds && sound_) sound_->PlayFile(name, SoundManager::kEffect2);
}

void GameSystem::TickTasks() {
  graphics_.FadeStep();
  // The animation slots arrive with animations.
  wanted_cursor_.store(kCursorRequested | main_window_.CursorForKind().resource,
                       std::memory_order_release);
}

void GameSystem::ApplyWantedCursor() {
  const uint32_t wanted = wanted_cursor_.exchange(0, std::memory_order_acq_rel);
  if (wanted & kCursorRequested)
    platform::SetCursor({static_cast<uint16_t>(wanted & 0xFFFF)});
}

namespace {

uint64_t PackRect(uint64_t left, uint64_t top, uint64_t right, uint64_t bottom) {
  return left | top << 16 | right << 32 | bottom << 48;
}

}  // namespace

void GameSystem::RequestRepaint(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  auto clamp = [](int v) { return static_cast<uint64_t>(std::clamp(v, 0, 0xFFFF)); };
  const uint64_t left = clamp(x), top = clamp(y), right = clamp(x + w), bottom = clamp(y + h);
  if (right <= left || bottom <= top) return;
  uint64_t old = pending_repaint_.load(std::memory_order_acquire);
  uint64_t merged = 0;
  do {
    merged = PackRect(left, top, right, bottom);
    if (old != 0)
      merged = PackRect(std::min(left, old & 0xFFFF), std::min(top, old >> 16 & 0xFFFF),
                        std::max(right, old >> 32 & 0xFFFF), std::max(bottom, old >> 48));
  } while (!pending_repaint_.compare_exchange_weak(old, merged, std::memory_order_acq_rel));
}

void GameSystem::ApplyPendingRepaint() {
  const uint64_t r = pending_repaint_.exchange(0, std::memory_order_acq_rel);
  if (r == 0) return;
  const int left = static_cast<int>(r & 0xFFFF), top = static_cast<int>(r >> 16 & 0xFFFF);
  planes_.InvalidateRect(left, top, static_cast<int>(r >> 32 & 0xFFFF) - left,
                         static_cast<int>(r >> 48) - top);
}

bool GameSystem::Prepare() {
  cursorVisible = 1;
  itemWindowAvailable = {0, 0};
  for (size_t i = 0; i < kNowFileSlots; ++i) nowFileNames[i] = kNowFileTemplates[i];
  if (!variables_ || !interpreter_) return false;

  archives_ = Make<ArchiveSet>(*variables_);
  if (!archives_ || !archives_->OpenAll()) return false;
  shell_ = Make<ShellWindows>(*this, *variables_);
  if (!shell_) return false;
  evaluator_ = Make<ExpressionEvaluator>(
      *interpreter_, interpreter_->memory(),
      [](void* context) {
        TickThread* ticks = static_cast<GameSystem*>(context)->ticks();
        return ticks ? ticks->GetTicks() : 0u;
      },
      this);
  if (!evaluator_) return false;
  main_window_.ReadTitle();
  animations_ = Make<AnimationTable>();
  if (!animations_) return false;
  dungeon_ = Make<DungeonView>();
  return dungeon_ != nullptr;
}

bool GameSystem::CreateDevices() {
  const platform::WindowId window = main_window_.handle();
  if (!display_.Create(window)) return false;
  if (!display_.EnterFullscreen(640, 480, 16)) return false;
  sound_ = Make<SoundManager>(archives_.get());
  if (!sound_ || !sound_->Init()) return false;
  if (!planes_.CreateAll(window)) return false;
  if (!graphics_.Create()) return false;
  graphicsReady = true;
  ticks_ = Make<TickThread>(*this);
  if (!ticks_ || !ticks_->Start()) return false;
  PumpOnce();
  return true;
}

void GameSystem::ReadOptions() {
  moveSpeed = static_cast<uint32_t>(settings_.ReadInt("Config", "DUNGEON", 1));
  soundOn = static_cast<uint32_t>(settings_.ReadInt("Config", "SOUND", 1));
  if (soundOn == 0) {
    // Muted for now; what the user chose stays remembered.
    sound_->ApplySoundSwitch(false);
  }
  voiceOn = static_cast<uint32_t>(settings_.ReadInt("Config", "VOICE", 1));
}

int GameSystem::RunGame() {
  const std::string start = settings_.ReadString("Config", "StartMES", "MAIN.MES", 128);
  // A failed load has shown its box; the interpreter then runs the image as it is.
  (void)interpreter_->LoadScriptByName(start);
  ticks_->Resume();
  interpreter_->Run();
  ticks_->Pause();
  main_window_.SetRunState(MainWindow::kRunning);
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

bool GameSystem::StartUp() {
  TVX_TRACE(App, "start-up");
  if (!Prepare()) {
    ErrorBox(kSystemErrorCaption, kStartupFailedText);
    return false;
  }
  if (!main_window_.CreateMainWindow(options_.windowed)) return false;
  PumpOnce();
  if (!CreateDevices()) {
    ErrorBox(kSystemErrorCaption, kStartupFailedText);
    return false;
  }
  ReadOptions();
  UpdateMenuChecks();
  variables_->Initialise(moveSpeed);
  interpreter_->Reset();
  graphics_.Initialise();
  // The text drawing state starts from the variables' colours.
  graphics_.SetColours(variables_->Word(kWordOutlineColour), variables_->Word(kWordFaceColour));
  return true;
}

int GameSystem::RunSystem() { return StartUp() ? RunGame() : 0; }

}  // namespace tvx
