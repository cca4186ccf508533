#include "ui/popup_menu_window.h"

#include <algorithm>

#include "platform/ui_canvas.h"
#include "resources/menu_icons.h"

namespace tvx {

using platform::Point;
using platform::Rect;
using platform::UiCanvas;
namespace ui = platform::ui;

namespace {
// Room on the right of every item for a submenu's arrow.
constexpr int32_t kArrowRoom = 14;

// Draws an icon; `ink`, when given, replaces every colour (a mark drawn in the text colour).
void DrawIcon(UiCanvas& canvas, const MenuIcon& icon, Point at, int ink = -1) {
  for (int y = 0; y < icon.height; ++y)
    for (int x = 0; x < icon.width; ++x) {
      const uint16_t pixel = icon.pixels[static_cast<size_t>(y * icon.width + x)];
      if (!(pixel & kIconTransparent))
        canvas.Put(at.x + x, at.y + y, ink < 0 ? pixel : static_cast<uint16_t>(ink));
    }
}
}  // namespace

Point PopupMenuWindow::MeasureItem(const MenuItem& item) {
  if (item.kind == MenuItemKind::kSeparator) return {0, kSeparatorHeight};
  return {kIconWidth + platform::UiTextWidth(item.text) + 10, kIconHeight + 2};
}

PopupMenuWindow::PopupMenuWindow(const Menu& menu, int index) : menu_(&menu), index_(index) {
  int32_t inner = 0;
  int32_t y = kBorder;
  for (const MenuItem& item : menu.items) {
    const Point size = MeasureItem(item);
    inner = std::max(inner, size.x);
    tops_.push_back(y);
    heights_.push_back(size.y);
    y += size.y;
  }
  width_ = inner + kArrowRoom + 2 * kBorder;
  height_ = y + kBorder;
  bounds_ = {0, 0, width_, height_};
  pixels_.assign(static_cast<size_t>(width_) * height_, ui::kFace);
}

void PopupMenuWindow::MoveTo(Point top_left) {
  bounds_ = {top_left.x, top_left.y, top_left.x + width_, top_left.y + height_};
}

Rect PopupMenuWindow::ItemRect(int item) const {
  if (item < 0 || static_cast<size_t>(item) >= tops_.size()) return {};
  const auto i = static_cast<size_t>(item);
  return {bounds_.left + kBorder, bounds_.top + tops_[i], bounds_.right - kBorder,
          bounds_.top + tops_[i] + heights_[i]};
}

Point PopupMenuWindow::LastItemCorner() const {
  const Rect last = ItemRect(static_cast<int>(tops_.size()) - 1);
  return {last.right, last.bottom};
}

int PopupMenuWindow::ItemAt(Point client) const {
  for (size_t i = 0; i < tops_.size(); ++i)
    if (ItemRect(static_cast<int>(i)).Contains(client)) return static_cast<int>(i);
  return kNone;
}

bool PopupMenuWindow::Select(int item) {
  if (item < kNone || item >= static_cast<int>(menu_->items.size())) item = kNone;
  if (item != kNone && menu_->items[static_cast<size_t>(item)].kind == MenuItemKind::kSeparator)
    item = kNone;
  if (item == selected_) return false;
  selected_ = item;
  return true;
}

int PopupMenuWindow::Next(int item, int direction) const {
  const int count = static_cast<int>(menu_->items.size());
  if (count == 0) return kNone;
  int at = item == kNone ? (direction > 0 ? -1 : count) : item;
  for (int step = 0; step < count; ++step) {
    at = ((at + direction) % count + count) % count;
    if (menu_->items[static_cast<size_t>(at)].kind != MenuItemKind::kSeparator) return at;
  }
  return kNone;
}

void PopupMenuWindow::Render() {
  UiCanvas canvas(pixels_, width_, height_);
  const Rect all{0, 0, width_, height_};
  canvas.Edge(all, ui::kFace, ui::kBlack);
  canvas.Edge(platform::Shrink(all, 1), ui::kWhite, ui::kShadow);
  canvas.Fill(platform::Shrink(all, 2), ui::kFace);
  for (size_t i = 0; i < menu_->items.size(); ++i)
    DrawItem(static_cast<int>(i), static_cast<int>(i) == selected_);
}

void PopupMenuWindow::DrawItem(int index, bool selected) {
  UiCanvas canvas(pixels_, width_, height_);
  const MenuItem& item = menu_->items[static_cast<size_t>(index)];
  const Rect r{kBorder, tops_[static_cast<size_t>(index)], width_ - kBorder,
               tops_[static_cast<size_t>(index)] + heights_[static_cast<size_t>(index)]};
  if (item.kind == MenuItemKind::kSeparator) {
    // An etched line across the middle.
    const int32_t mid = r.top + r.Height() / 2 - 1;
    canvas.Fill({r.left + 1, mid, r.right - 1, mid + 1}, ui::kShadow);
    canvas.Fill({r.left + 1, mid + 1, r.right - 1, mid + 2}, ui::kWhite);
    return;
  }
  const MenuIcon* icon = item.icon ? FindMenuIcon(item.icon) : nullptr;
  uint16_t text_colour = ui::kBlack;
  if (selected) {
    // The icon stays on the menu's face; the highlight starts beside it. The raised frame
    // goes round the whole item.
    canvas.Fill(r, ui::kFace);
    canvas.Fill({icon ? r.left + kIconWidth + 6 : r.left, r.top, r.right, r.bottom}, ui::kNavy);
    canvas.Edge(r, ui::kWhite, ui::kShadow);
    text_colour = ui::kWhite;
  } else {
    canvas.Fill(r, ui::kFace);
  }
  if (item.checked)
    if (const MenuIcon* check = FindMenuIcon(kIconCheckMark))
      DrawIcon(canvas, *check, {r.left, r.top + 4}, text_colour);
  int32_t text_left = r.left + 8;
  if (icon) {
    DrawIcon(canvas, *icon, {r.left + 4, r.top + 1});
    text_left = r.left + kIconWidth + 8;
  }
  const int32_t text_top = r.top + (r.Height() - platform::UiGlyphHeight()) / 2;
  if (!item.text.empty()) {
    if (item.grayed) {
      // Embossed: a light copy one pixel down and right under the grey one.
      canvas.Text({text_left + 1, text_top + 1}, item.text, ui::kWhite, r);
      canvas.Text({text_left, text_top}, item.text, ui::kShadow, r);
    } else {
      canvas.Text({text_left, text_top}, item.text, text_colour, r);
    }
  }
  if (item.kind == MenuItemKind::kSubmenu) {
    // A small arrow pointing right, 4 wide and 7 high.
    const int32_t x = r.right - 10;
    const int32_t y = r.top + (r.Height() - 7) / 2;
    const uint16_t colour = selected ? ui::kWhite : ui::kBlack;
    for (int32_t i = 0; i < 4; ++i) canvas.Fill({x + i, y + i, x + i + 1, y + 7 - i}, colour);
  }
}

}  // namespace tvx
