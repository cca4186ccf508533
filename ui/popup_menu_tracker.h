// Runs the command menu on the main window until the player chooses a command or dismisses
// it: the menu and its cascading submenus open where the pointer is, kept inside the window,
// and answer the mouse and the keys as menus do (Up, Down, Right or Enter into a submenu,
// Left or Escape out of one, Enter or a click to choose, a click outside to dismiss). The
// game goes on around the open menus: they cover their part of the window, the rest keeps
// showing the game's picture.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"
#include "platform/waiter.h"
#include "ui/menu_tree.h"
#include "ui/modal_input.h"
#include "ui/popup_menu_window.h"

namespace tvx {

class PopupMenuTracker final : public ModalInput {
 public:
  // The menus are drawn on `window`, whose client area is width × height.
  PopupMenuTracker(const MenuTree& tree, platform::WindowId window, Waiter& waiter,
                   platform::Point client_size);

  // Opens the root menu with its top-left at `at` (client coordinates) and runs until a
  // command is chosen (its identifier) or the menu is dismissed or the program quits (0).
  // The caller routes the window's input to OnInput meanwhile.
  uint16_t TrackPopup(platform::Point at);

  bool OnInput(const platform::Message& message) override;

  // What is open, root first (for tests and the dumps).
  const std::vector<PopupMenuWindow>& levels() const { return levels_; }

 private:
  void OpenRoot(platform::Point at);
  void OpenSubmenu(size_t level, bool select_first);
  void CloseAbove(size_t level);
  void MouseAt(platform::Point p);
  void ButtonDown(platform::Point p);
  void ButtonUp(platform::Point p);
  void Key(platform::Key key);
  // Chooses the selected item of a level: opens a submenu, or ends with a command.
  void Activate(size_t level);
  // The deepest level that holds the point; -1 for none.
  int LevelAt(platform::Point p) const;
  void Show();
  void Finish(uint16_t command);

  const MenuTree& tree_;
  platform::WindowId window_;
  Waiter& waiter_;
  platform::Point client_size_;
  std::vector<PopupMenuWindow> levels_;
  // What the window showed under each open level when it opened, rows top-down: put back
  // when the level closes, before the game repaints the place.
  std::vector<std::vector<uint16_t>> under_;
  // Whether each level opened to the left of its parent (the root: of the pointer).
  std::vector<bool> leftwards_;
  bool done_ = false;
  uint16_t chosen_ = 0;
  // A button release chooses only once the pointer has moved or a button went down in the
  // menu: the release of the click that opened the menu chooses nothing.
  bool armed_ = false;
  platform::Point opened_at_;
};

}  // namespace tvx
