// What runs its own loop on the main window (the command menu, a dialog, a prompt) takes the
// window's keyboard and mouse messages while it runs: the game does not see them, and the
// keyboard accelerators are off.
#pragma once

#include "platform/types.h"

namespace tvx {

class ModalInput {
 public:
  // A key, character, mouse or wheel message of the main window. True when it was taken;
  // what is not taken is dropped all the same (the game is not running meanwhile).
  virtual bool OnInput(const platform::Message& message) = 0;

 protected:
  ~ModalInput() = default;
};

// Whether a message is one of those that a modal part takes.
constexpr bool IsModalInput(platform::Msg kind) {
  using platform::Msg;
  switch (kind) {
    case Msg::KeyDown:
    case Msg::KeyUp:
    case Msg::Char:
    case Msg::MouseMove:
    case Msg::LButtonDown:
    case Msg::LButtonUp:
    case Msg::RButtonDown:
    case Msg::RButtonUp:
    case Msg::MouseWheel:
      return true;
    default:
      return false;
  }
}

}  // namespace tvx
