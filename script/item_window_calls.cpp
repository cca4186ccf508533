#include "script/item_window_calls.h"

#include "graphics/vram_plane_set.h"
#include "platform/platform.h"
#include "script/cursor_calls.h"
#include "script/item_window_host.h"
#include "script/script_interpreter.h"
#include "script/shared_state.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

// The switches kept for the scripts: the window was created, and it may be used.
constexpr size_t kCreated = 0;
constexpr size_t kEnabled = 1;
// The system pointers that receive the frame rectangle and the two capture flags.
constexpr int kRectPointer = 11;
constexpr int kCapturePointer = 15;
// The animated cursor shown over the caption: the pair of images from 230 on.
constexpr uint16_t kCaptionCursor = 230;
// The part of the screen that holds the game's messages, and the flag that reports that the
// window had to leave it.
constexpr platform::Rect kMessageArea{51, 389, 590, 452};
constexpr size_t kLeftMessageAreaFlag = 2008;

void Toggle(ItemWindowHost& window) {
  if (window.ItemWindowShown())
    window.HideItemWindow();
  else
    window.ShowItemWindow();
}

}  // namespace

void ItemWindowCall(ScriptInterpreter& interpreter, const ParamList& p) {
  ItemWindowHost* host = interpreter.itemWindow();
  if (!host) return;
  ItemWindowHost& window = *host;
  SharedState& shared = interpreter.shared();
  VariableArea& variables = interpreter.variables();
  auto& switches = shared.itemWindowAvailable;
  const bool open = switches[kCreated] && switches[kEnabled];
  const platform::WindowId handle = window.ItemWindowHandle();
  switch (p.Value(0)) {
    case 0: {
      window.CreateItemWindow();
      // The game keeps the keyboard: the new window does not come between it and the player.
      const platform::WindowId main = interpreter.planes().window();
      if (platform::IsWindow(main) && !platform::IsMinimized(main))
        platform::ShowWindow(main, platform::ShowCommand::Show);
      switches[kCreated] = 1;
      switches[kEnabled] = 1;
      // The menu command follows the switch, as sub-functions 5 and 6 have it follow.
      shared.commands.Enable(kCommandItemWindow, true);
      return;
    }
    case 1:
      if (open) Toggle(window);
      return;
    case 2:
      variables.SetRegister16(VariableArea::kRegisterS, open && window.ItemWindowShown() ? 1 : 0);
      return;
    case 3: {
      if (!open || handle == platform::kNoWindow) return;
      const platform::Rect frame = platform::FrameRect(handle);
      const int32_t edges[] = {frame.left, frame.top, frame.right, frame.bottom};
      for (int i = 0; i < 4; ++i)
        variables.SetPointer(kRectPointer + i, static_cast<uint32_t>(edges[i]));
      return;
    }
    case 4: {
      if (!open || handle == platform::kNoWindow) return;
      const platform::Point client = platform::ScreenToClient(handle, platform::CursorPos());
      variables.SetWord(kWordMouseX, static_cast<uint16_t>(client.x));
      variables.SetWord(kWordMouseY, static_cast<uint16_t>(client.y));
      return;
    }
    case 5:
      if (switches[kCreated] && !switches[kEnabled]) {
        switches[kEnabled] = 1;
        shared.commands.Enable(kCommandItemWindow, true);
      }
      return;
    case 6:
      if (window.ItemWindowShown()) window.HideItemWindow();
      switches[kEnabled] = 0;
      shared.commands.Enable(kCommandItemWindow, false);
      return;
    case 7:
      variables.SetPointer(kCapturePointer, window.ItemWindowLeftHeld() ? 1 : 0);
      variables.SetPointer(kCapturePointer + 1, window.ItemWindowRightHeld() ? 1 : 0);
      return;
    case 8:
      window.RedrawItemWindow();
      return;
    case 9: {
      if (!open || !window.ItemWindowShown() || handle == platform::kNoWindow) return;
      variables.SetRegister16(VariableArea::kRegisterS, 0);
      const platform::Point screen = platform::CursorPos();
      const bool on_caption = platform::FrameRect(handle).Contains(screen) &&
                              platform::ScreenToClient(handle, screen).y < 0;
      if (on_caption && shared.cursorKind.load() != 2) {
        ShowAnimatedCursor(interpreter, kCaptionCursor);
        variables.SetRegister16(VariableArea::kRegisterS, 1);
      }
      return;
    }
    case 10: {
      if (!open || handle == platform::kNoWindow) return;
      const platform::Rect frame = platform::FrameRect(handle);
      if (frame.right >= kMessageArea.left && frame.left < kMessageArea.right &&
          frame.top < kMessageArea.bottom && frame.bottom >= kMessageArea.top) {
        variables.SetFlag(kLeftMessageAreaFlag, 1);
        Toggle(window);
      }
      return;
    }
    default:
      return;
  }
}

}  // namespace tvx
