#include "script/animation_calls.h"

#include "script/animation_table.h"
#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "script/variable_area.h"

namespace tvx {

// p0 the operation, p1 the row, p2 the column.
void AnimationCall(ScriptInterpreter& interpreter, const ParamList& p) {
  AnimationTable* table = interpreter.animations();
  if (!table) return;
  const uint32_t row = p.Value(1), column = p.Value(2);
  switch (p.Value(0)) {
    case 0:
      table->LoadSlot(row, column);
      return;
    case 1:
      table->StartSlot(row, column, AnimationTable::kRepeat);
      return;
    case 2:
      table->StartSlot(row, column, AnimationTable::kOnce);
      return;
    case 3:
      table->StopSlot(row, column);
      return;
    case 4: {
      // Plays the slot to its end command. The wait also ends where nothing would ever end
      // the slot: one never loaded, or slots the script does not let run.
      if (!table->SlotLoaded(row, column)) return;
      table->StartSlot(row, column, AnimationTable::kUntilEnd);
      VariableArea& variables = interpreter.variables();
      WaitUntil(interpreter.host(), [&] {
        return table->SlotState(row, column) == AnimationTable::kStopped ||
               !variables.HasSystemFlag(kFlagAnimationsRun);
      });
      return;
    }
    case 5:
      table->MakeAllRunOnce();
      return;
    case 6:
      table->StopAll();
      return;
    case 7:
      table->RewindAll();
      return;
    case 8:
      table->DrawFirstFrame(row, column);
      return;
    default:
      return;
  }
}

}  // namespace tvx
