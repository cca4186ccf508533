// One open menu of the command menu's tree, drawn in the engine's interface look: each item
// shows its icon, its text in the 12-pixel UI face, a raised frame when selected, an embossed
// look when greyed, and the check mark when checked; a submenu item has an arrow. The menu
// draws itself into a picture of its own, which the tracker puts on top of the main window.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/types.h"
#include "ui/menu_tree.h"

namespace tvx {

class PopupMenuWindow {
 public:
  static constexpr int32_t kIconWidth = 16;
  static constexpr int32_t kIconHeight = 16;
  static constexpr int32_t kBorder = 3;
  static constexpr int32_t kSeparatorHeight = 8;
  static constexpr int kNone = -1;

  // Lays out the items of `menu`; `index` is the menu's number in its tree.
  PopupMenuWindow(const Menu& menu, int index);

  int index() const { return index_; }
  const Menu& menu() const { return *menu_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Where the menu lies on the window (client coordinates), once placed.
  const platform::Rect& bounds() const { return bounds_; }
  void MoveTo(platform::Point top_left);
  // An item's rectangle in window coordinates.
  platform::Rect ItemRect(int item) const;
  // The bottom-right corner of the last item (window coordinates).
  platform::Point LastItemCorner() const;

  // The item under a point of the window, kNone when none (or outside the menu).
  int ItemAt(platform::Point client) const;
  int selected() const { return selected_; }
  // Selects an item (kNone for none); false when that changed nothing.
  bool Select(int item);
  // The next item that can be selected (not a separator) from `item` in direction +1/-1,
  // going round; kNone when the menu has none.
  int Next(int item, int direction) const;

  // Draws the whole menu into its picture (rows top-down, width × height).
  void Render();
  std::span<const uint16_t> pixels() const { return pixels_; }

  // The size an item asks for: icon width + text width + 10 wide, icon height + 2 high.
  static platform::Point MeasureItem(const MenuItem& item);

 private:
  void DrawItem(int item, bool selected);

  const Menu* menu_;
  int index_;
  std::vector<int32_t> tops_;  // each item's top inside the menu
  std::vector<int32_t> heights_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  platform::Rect bounds_;
  int selected_ = kNone;
  std::vector<uint16_t> pixels_;
};

}  // namespace tvx
