// What the script machine needs of the item window, the small window beside the game that
// shows the item bar (plane 7): the program that runs the scripts implements it.
#pragma once

#include "platform/types.h"

namespace tvx {

class ItemWindowHost {
 public:
  // Creates the window, hidden, where the player left it; nothing when it exists.
  virtual void CreateItemWindow() = 0;
  // Showing and hiding play the engine's window sounds; redrawing paints the item bar anew.
  virtual void ShowItemWindow() = 0;
  virtual void HideItemWindow() = 0;
  virtual void RedrawItemWindow() = 0;
  virtual bool ItemWindowShown() const = 0;
  // The window, kNoWindow when it does not exist.
  virtual platform::WindowId ItemWindowHandle() const = 0;
  // Whether the left or right mouse button, pressed on the window, is held.
  virtual bool ItemWindowLeftHeld() const = 0;
  virtual bool ItemWindowRightHeld() const = 0;

 protected:
  ~ItemWindowHost() = default;
};

}  // namespace tvx
