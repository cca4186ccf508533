#include "script/cursor_calls.h"

#include "graphics/vram_plane_set.h"
#include "platform/platform.h"
#include "script/animation_table.h"
#include "script/script_interpreter.h"
#include "script/shared_state.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

// Cursor images by the numbers the scripts give: EFFECT 2 counts from 100, the maze's call
// from 225, and the animated cursors come in pairs from (n + 115) × 2.
constexpr uint16_t kEffectCursorBase = 100;
constexpr uint16_t kMazeCursorBase = 225;
constexpr uint32_t kAnimatedCursorBase = 115;

void ShowCursorImage(ScriptInterpreter& interpreter, uint32_t number) {
  SharedState& shared = interpreter.shared();
  const auto id = static_cast<uint16_t>(number);
  shared.cursorId = id;
  shared.cursorKind = 2;
  platform::SetCursor({id});
}

}  // namespace

void MouseCall(ScriptInterpreter& interpreter, const ParamList& p) {
  SharedState& shared = interpreter.shared();
  VariableArea& variables = interpreter.variables();
  const platform::WindowId window = interpreter.planes().window();
  switch (p.Value(0)) {
    case 0:
      if (!shared.cursorVisible) {
        shared.cursorVisible = 1;
        platform::ShowCursor(true);
      }
      return;
    case 1:
      if (shared.cursorVisible) {
        shared.cursorVisible = 0;
        platform::ShowCursor(false);
      }
      return;
    case 2: {
      const platform::Point client = platform::ScreenToClient(window, platform::CursorPos());
      variables.SetWord(kWordMouseX, static_cast<uint16_t>(client.x));
      variables.SetWord(kWordMouseY, static_cast<uint16_t>(client.y));
      return;
    }
    case 3: {
      const platform::Rect client = platform::WindowRect(window);
      platform::SetCursorPos({client.left + static_cast<int32_t>(p.Value(1)),
                              client.top + static_cast<int32_t>(p.Value(2))});
      return;
    }
    case 4:
      ShowAnimatedCursor(interpreter,
                         static_cast<uint16_t>((p.Value(1) + kAnimatedCursorBase) * 2));
      return;
    case 5:
      shared.wheel = {};
      return;
    case 6:
      variables.SetRegister16(VariableArea::kRegisterS,
                              static_cast<uint16_t>(shared.wheel.Direction()));
      return;
    case 7:
      variables.SetRegister32(VariableArea::kRegisterS, shared.wheel.notches);
      return;
    case 8:
      shared.wheel.notches = static_cast<uint16_t>(p.Value(1));
      return;
    default:
      return;
  }
}

void ShowAnimatedCursor(ScriptInterpreter& interpreter, uint16_t base) {
  SharedState& shared = interpreter.shared();
  shared.cursorId = base;
  if (AnimationTable* animations = interpreter.animations()) animations->SetCursorBase(base);
  platform::SetCursor({base});
  shared.cursorKind = 1;
}

void CursorImageEffect(ScriptInterpreter& interpreter, const ParamList& p) {
  ShowCursorImage(interpreter, p.Value(1) + kEffectCursorBase);
}

void MazeCursorCall(ScriptInterpreter& interpreter, const ParamList& p) {
  ShowCursorImage(interpreter, p.Value(1) + kMazeCursorBase);
}

}  // namespace tvx
