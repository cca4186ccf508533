#include "script/request_calls.h"

#include <mutex>
#include <string_view>

#include "graphics/blitter.h"
#include "graphics/vram_plane_set.h"
#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "script/shared_state.h"
#include "script/variable_area.h"
#include "sound/sound_manager.h"

namespace tvx {
namespace {

// The 640 × 72 strip at the bottom of the screen, and where plane 5 keeps its hidden look.
constexpr int kStripTop = 388;
constexpr int kStripHeight = 72;
constexpr uint32_t kHiddenStripRow = 316;
constexpr uint32_t kStripPlane = 5;

void PlayInterfaceSound(ScriptInterpreter& interpreter, std::string_view name) {
  if (interpreter.shared().interfaceSounds && interpreter.sound())
    interpreter.sound()->PlayFile(name, SoundManager::kEffect2);
}

void RequestCall(ScriptInterpreter& interpreter, const ParamList& p, size_t which,
                 uint16_t command) {
  PlayerRequests::Request& request = interpreter.requests.requests[which];
  switch (p.Value(0)) {
    case 0:  // the player's command
      if (request.enabled) {
        request.mark = 1;
        PlayInterfaceSound(interpreter, "WINOPN.WAV");
      } else {
        PlayInterfaceSound(interpreter, "ERROR.WAV");
      }
      return;
    case 1:
      request.enabled = p.Value(1);
      interpreter.shared().commands.Enable(command, p.Value(1) != 0);
      return;
    case 2:
      request.mark = 0;
      return;
    case 3:
      interpreter.variables().SetRegister16(VariableArea::kRegisterS,
                                            static_cast<uint16_t>(request.mark));
      return;
    default:
      return;
  }
}

void CopyStrip(VramPlaneSet& planes, uint32_t from_row) {
  std::lock_guard lock(planes.pixelLock());
  blit::CopyRect(planes.Get(kStripPlane), {0, from_row, VramPlaneSet::kScreenWidth, kStripHeight},
                 planes.Get(0), 0, kStripTop);
}

// Hides the strip until the player's next command shows it again (a nested call of this
// same sub-function, made by the command handler inside the wait).
void HideStrip(ScriptInterpreter& interpreter) {
  VramPlaneSet& planes = interpreter.planes();
  PlayerRequests& requests = interpreter.requests;
  MenuCommandStates& commands = interpreter.shared().commands;
  auto hide_and_wait = [&] {
    commands.Check(kCommandClearMessages, true);
    requests.stripHidden = 1;
    WaitForInput(interpreter.host(), [&] { return requests.stripHidden == 0; });
    // A quitting program ends the wait with the strip still marked hidden.
    requests.stripHidden = 0;
    commands.Check(kCommandClearMessages, false);
  };
  if (planes.directPresentation()) {
    // The window shows plane 0 without the overlay meanwhile; the overlay comes back as it
    // was found.
    const bool overlay = planes.overlayActive();
    planes.SetOverlayActive(false);
    planes.PresentPlain(0, kStripTop, VramPlaneSet::kScreenWidth, kStripHeight);
    hide_and_wait();
    planes.SetOverlayActive(overlay);
  } else {
    CopyStrip(planes, kHiddenStripRow);
    planes.PresentRect(0, kStripTop, VramPlaneSet::kScreenWidth, kStripHeight);
    hide_and_wait();
    CopyStrip(planes, kStripTop);
  }
  planes.PresentRect(0, kStripTop, VramPlaneSet::kScreenWidth, kStripHeight);
}

}  // namespace

void SaveRequestCall(ScriptInterpreter& interpreter, const ParamList& p) {
  RequestCall(interpreter, p, PlayerRequests::kSave, kCommandSaveRequest);
}

void LoadRequestCall(ScriptInterpreter& interpreter, const ParamList& p) {
  RequestCall(interpreter, p, PlayerRequests::kLoad, kCommandLoadRequest);
}

void BottomStripCall(ScriptInterpreter& interpreter, const ParamList& p) {
  PlayerRequests& requests = interpreter.requests;
  MenuCommandStates& commands = interpreter.shared().commands;
  switch (p.Value(0)) {
    case 0:
      requests.stripHideAllowed = 1;
      commands.Enable(kCommandClearMessages, true);
      return;
    case 1:
      requests.stripHideAllowed = 0;
      commands.Enable(kCommandClearMessages, false);
      return;
    case 2:
      if (!requests.stripHideAllowed) return;
      if (requests.stripHidden) {
        // Ends the wait of the call that hid it.
        commands.Check(kCommandClearMessages, false);
        requests.stripHidden = 0;
        return;
      }
      HideStrip(interpreter);
      return;
    default:
      return;
  }
}

}  // namespace tvx
