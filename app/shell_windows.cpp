#include "app/shell_windows.h"

#include "app/game_system.h"
#include "app/pump.h"
#include "platform/platform.h"
#include "script/shared_state.h"
#include "script/variable_area.h"
#include "sound/sound_manager.h"
#include "ui/volume_dialog.h"

namespace tvx {

namespace {
constexpr uint16_t kCommandEndGame = 57665;
// The option commands of the settings menu.
constexpr uint16_t kMusicOn = 40017, kMusicOff = 40018, kVoiceOn = 40019, kVoiceOff = 40020;
constexpr uint16_t kFastest = 40033, kStandard = 40034, kSlowest = 40035;
constexpr uint16_t kCommandNowFile = 40009;
constexpr uint16_t kVolumeSettings = 40030;
// The debug menu's screen modes.
constexpr uint16_t kWindowMode = 40027, kFullScreenMode = 40028;
// The system calls that the player's requests run.
constexpr uint32_t kItemWindowCall = 22;
constexpr uint32_t kSaveRequestCall = 25;
constexpr uint32_t kLoadRequestCall = 26;
constexpr uint32_t kBottomStripCall = 27;
}  // namespace

ShellWindows::ShellWindows(GameSystem& system, VariableArea& variables)
    : system_(system),
      variables_(variables),
      now_file_(system.nowFileNames),
      item_window_(system),
      debug_views_(system.planes(), system.graphics(), variables, system.interpreter().memory(),
                   system),
      developer_commands_(system) {
  SetCurrentPointers(&system, this);
}

ShellWindows::~ShellWindows() {
  // The two windows go with their members.
  if (CurrentShellWindows() == this) SetCurrentPointers(nullptr, nullptr);
}

intptr_t ShellWindows::HandleSystemCommand(const platform::Message& message) {
  const platform::WindowId main = system_.mainWindow().handle();
  switch (message.wparam & 0xFFF0) {
    case platform::kScMinimize:
      OnMinimized();
      return 0;
    case platform::kScRestore:
      // A failure to switch the display back is ignored: the game goes on in a window.
      system_.display().EnterFullscreen(640, 480, 16);
      platform::ShowWindow(main, platform::ShowCommand::Restore);
      return 0;
    case platform::kScClose:
      return ConfirmQuit(message);
    default:
      return platform::DefaultWindowProc(message);
  }
}

void ShellWindows::OnMinimized() {
  system_.display().LeaveFullscreen();
  platform::ShowWindow(system_.mainWindow().handle(), platform::ShowCommand::Minimize);
}

intptr_t ShellWindows::ConfirmQuit(const platform::Message& message) {
  MainWindow& window = system_.mainWindow();
  const uint32_t saved_kind = system_.shared().cursorKind.exchange(0);
  const uint32_t saved_visible = system_.shared().cursorVisible;
  system_.shared().cursorVisible = 1;
  window.ForceCursor(true);
  window.SetCursorByKind();

  const platform::BoxAnswer answer = platform::MessageBox(
      window.handle(), "\xD3\xCE\xCF\xB7\xB5\xC4\xBD\xE1\xCA\xF8" /* 游戏的结束 */,
      "\xBD\xE1\xCA\xF8\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF" /* 结束游戏吗？ */,
      platform::BoxButtons::OkCancel);

  if (answer == platform::BoxAnswer::Cancel) {
    system_.shared().cursorKind = saved_kind;
    system_.shared().cursorVisible = saved_visible;
    if (!saved_visible) window.ForceCursor(false);
    window.SetCursorByKind();
    system_.planes().PresentRect(0, 0, 640, 480);  // the box leaves no trace
    return 0;
  }
  item_window_.SavePosition();
  platform::PostQuitMessage(0);
  window.SetRunState(MainWindow::kQuit);
  return platform::DefaultWindowProc(message);
}

void ShellWindows::HandleCommand(uint16_t identifier) {
  if (RunDebugView(identifier) || developer_commands_.Run(identifier)) return;
  // The commands of the menus that are not built yet do nothing.
  switch (identifier) {
    case kCommandEndGame:
      platform::PostMessage(system_.mainWindow().handle(), platform::Msg::SysCommand,
                            platform::kScClose);
      return;
    case kCommandSaveRequest:
      system_.interpreter().RunSystemCall(kSaveRequestCall, {0});
      return;
    case kCommandLoadRequest:
      system_.interpreter().RunSystemCall(kLoadRequestCall, {0});
      return;
    case kCommandClearMessages:
      system_.interpreter().RunSystemCall(kBottomStripCall, {2});
      return;
    case kCommandItemWindow: {
      const auto& available = system_.shared().itemWindowAvailable;
      if (available[0] && available[1])
        system_.interpreter().RunSystemCall(kItemWindowCall, {1});
      else
        system_.PlaySystemSound("ERROR.WAV");
      return;
    }
    case kCommandNowFile:
      if (system_.debugMode()) ShowNowFile();
      return;
    case kMusicOn:
    case kMusicOff:
      SetSound(identifier == kMusicOn);
      return;
    case kVoiceOn:
    case kVoiceOff:
      system_.shared().voiceOn = identifier == kVoiceOn ? 1 : 0;
      settings_.WriteInt("Config", "VOICE", static_cast<int32_t>(system_.shared().voiceOn));
      system_.UpdateMenuChecks();
      return;
    case kFastest:
    case kStandard:
    case kSlowest:
      SetMoveSpeed(static_cast<uint32_t>(identifier - kFastest));
      return;
    case kVolumeSettings:
      OpenVolumeDialog();
      return;
    case kWindowMode:
    case kFullScreenMode:
      ChooseScreenMode(identifier == kFullScreenMode);
      return;
    default:
      return;
  }
}

void ShellWindows::ShowNowFile() {
  now_file_.Show(system_.mainWindow().handle());
}

bool ShellWindows::RunDebugView(uint16_t identifier) {
  // A view cannot be opened inside another one.
  if (!system_.debugMode() || debug_views_.active()) return false;
  MainWindow& window = system_.mainWindow();
  window.ForceCursor(true);
  const bool ran = debug_views_.Run(identifier, window.handle());
  // The cursor goes back to what the script wants, whatever the display counter says.
  window.ForceCursor(system_.shared().cursorVisible != 0);
  window.SetCursorByKind();
  return ran;
}

void ShellWindows::SetSound(bool on) {
  system_.shared().soundOn = on ? 1 : 0;
  settings_.WriteInt("Config", "SOUND", on ? 1 : 0);
  // Music and effects go quiet or come back at the volumes the player set.
  if (SoundManager* sound = system_.sound()) sound->ApplySoundSwitch(on);
  system_.UpdateMenuChecks();
}

void ShellWindows::OpenVolumeDialog() {
  SoundManager* sound = system_.sound();
  if (!sound) return;
  MainWindow& window = system_.mainWindow();
  // The sliders of what the settings have switched off are greyed.
  VolumeDialog dialog(*sound, settings_.ReadInt("Config", "SOUND", 1) != 0,
                      settings_.ReadInt("Config", "VOICE", 1) != 0);
  const ModalScope scope(window, dialog);
  if (!scope.began()) return;
  // The arrow, shown, while the dialog is open; then what the script had.
  SharedState& shared = system_.shared();
  const uint32_t saved_kind = shared.cursorKind.exchange(0);
  const uint32_t saved_visible = shared.cursorVisible;
  shared.cursorVisible = 1;
  window.ForceCursor(true);
  window.SetCursorByKind();
  // A program that quits meanwhile keeps what the player set all the same.
  dialog.Run(window.handle(), system_);
  settings_.WriteInt("VOLUME", "Music", sound->GetChannelVolume(SoundManager::kMusic));
  settings_.WriteInt("VOLUME", "Effect", sound->GetChannelVolume(SoundManager::kEffect1));
  settings_.WriteInt("VOLUME", "Voice", sound->GetChannelVolume(SoundManager::kVoice));
  shared.cursorKind = saved_kind;
  shared.cursorVisible = saved_visible;
  window.ForceCursor(saved_visible != 0);
  window.SetCursorByKind();
}

void ShellWindows::ChooseScreenMode(bool full) {
  system_.SetScreenMode(full);
  // The full-screen program always starts in full screen; the windowed one remembers.
  if (system_.windowed()) settings_.WriteInt("TALVEX", "FullScreen", system_.fullScreen() ? 1 : 0);
}

void ShellWindows::ToggleScreenMode() {
  if (system_.windowed()) ChooseScreenMode(!system_.fullScreen());
}

void ShellWindows::SetMoveSpeed(uint32_t speed) {
  settings_.WriteInt("Config", "DUNGEON", static_cast<int32_t>(speed));
  system_.shared().moveSpeed = speed;
  system_.variables().SetRegister16(VariableArea::kRegisterW, static_cast<uint16_t>(speed * 20));
  system_.UpdateMenuChecks();
}

}  // namespace tvx
