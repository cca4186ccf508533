#include "script/dungeon_calls.h"

#include "graphics/dungeon_view.h"
#include "graphics/vram_plane_set.h"
#include "platform/platform.h"
#include "script/cursor_calls.h"
#include "script/player_input.h"
#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

// The registers the view writes back: the walker's position, its heading, and the result of
// a move.
constexpr int kRegisterX = 23, kRegisterY = 24, kRegisterD = 3;

// A reference of the script: an address in its memory, to the end of the area it lies in
// (empty when it lies nowhere).
std::span<const uint8_t> Resolve(ScriptInterpreter& interpreter, uint32_t address) {
  return interpreter.memory().Rest(address);
}

// What the player asks for: a click on the click table, or the arrow keys.
uint32_t AskedMove(ScriptInterpreter& interpreter, const DungeonView& view) {
  ScriptHost& host = interpreter.host();
  if (host.QueryInput(kLeftButton)) {
    const platform::Point client =
        platform::ScreenToClient(interpreter.planes().window(), platform::CursorPos());
    return view.ClickCode(client.x, client.y);
  }
  uint32_t value = 0;
  if (host.QueryInput(kUp)) value |= DungeonView::kInputForward;
  if (host.QueryInput(kLeft)) value |= DungeonView::kInputLeft;
  if (host.QueryInput(kRight)) value |= DungeonView::kInputRight;
  if (host.QueryInput(kDown)) value |= DungeonView::kInputBack;
  return value;
}

}  // namespace

void DungeonCall(ScriptInterpreter& interpreter, const ParamList& p) {
  const uint32_t operation = p.Value(0);
  if (operation == 9) return MazeCursorCall(interpreter, p);
  DungeonView* view = interpreter.dungeon();
  if (!view || operation > 8) return;
  VariableArea& variables = interpreter.variables();
  view->SetTargetPlane(variables.Word(kWordTargetPlane));
  switch (operation) {
    case 0: {
      MazeData data;
      data.map = Resolve(interpreter, p.Value(1));
      for (size_t set = 0; set < 3; ++set) data.tiles[set] = Resolve(interpreter, p.Value(5 + set));
      data.palette = Resolve(interpreter, p.Value(8));
      data.clicks = Resolve(interpreter, p.Value(9));
      // A maze that does not fit in the script's memory changes nothing, registers included.
      if (!view->SetUp(data)) return;
      break;
    }
    case 1:
      view->Place(static_cast<uint16_t>(p.Value(1)), static_cast<uint16_t>(p.Value(2)),
                  static_cast<uint16_t>(p.Value(3) % 4));
      break;
    case 2:
      view->Draw(0);
      break;
    case 3:
      if (p.Value(1) <= DungeonView::kTurnRight)
        variables.SetRegister16(VariableArea::kRegisterS, view->Move(p.Value(1)));
      break;
    case 4: {
      view->Look();
      variables.SetRegister16(VariableArea::kRegisterS, view->Act(AskedMove(interpreter, *view)));
      break;
    }
    default:
      break;
  }
  variables.SetRegister16(kRegisterX, view->x());
  variables.SetRegister16(kRegisterY, view->y());
  variables.SetRegister16(kRegisterD, view->heading());
}

}  // namespace tvx
