// The program's cursor resources: its own cursor pictures (resources/cursor_set.h), given to
// the platform layer so that scripts can show them by id.
#pragma once

namespace tvx {

// Registers every picture of the cursor set. A picture the platform refuses leaves its id
// without one, and that id then shows the standard arrow: no reason to stop the game.
void RegisterCursorResources();

}  // namespace tvx
