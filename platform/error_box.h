// The box through which every reported failure is shown: a modal box with OK and the
// exclamation icon. Until the game's shell installs its own handling (which owns the box to
// the main window and shows the cursor) the box belongs to the desktop.
#pragma once

#include <string_view>

namespace tvx {

// Always 0, so that a failing operation can `return ErrorBox(...)`.
int ErrorBox(std::string_view caption_gbk, std::string_view text_gbk);

using ErrorBoxHandler = void (*)(std::string_view caption_gbk, std::string_view text_gbk);
// nullptr goes back to the desktop's box.
void SetErrorBoxHandler(ErrorBoxHandler handler);

}  // namespace tvx
