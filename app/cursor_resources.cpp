#include "app/cursor_resources.h"

#include <string>

#include "platform/platform.h"
#include "platform/trace.h"
#include "resources/cursor_set.h"

namespace tvx {

void RegisterCursorResources() {
  for (const CursorPicture& picture : DrawCursorSet()) {
    const platform::CursorImage image{
        picture.argb, picture.width, picture.height, {picture.hotX, picture.hotY}};
    if (!platform::RegisterCursorImage(picture.id, image))
      TVX_TRACE(App, "cursor " + std::to_string(picture.id) + " refused: it shows the arrow");
  }
}

}  // namespace tvx
