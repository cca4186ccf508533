#include "ui/popup_menu_tracker.h"

#include <algorithm>

#include "platform/platform.h"

namespace tvx {

using platform::Msg;
using platform::Point;
using platform::Rect;

namespace {
// A submenu overlaps its parent by this much, as menus do.
constexpr int32_t kOverlap = PopupMenuWindow::kBorder;

// Copies what the window shows in `r` (rows top-down).
std::vector<uint16_t> Grab(platform::WindowId window, const Rect& r) {
  std::vector<uint16_t> pixels(static_cast<size_t>(r.Width()) * r.Height(), 0);
  const platform::Framebuffer* screen = platform::WindowFramebuffer(window);
  if (!screen) return pixels;
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x)
      if (x >= 0 && y >= 0 && x < screen->width() && y < screen->height())
        pixels[static_cast<size_t>(y - r.top) * r.Width() + (x - r.left)] = screen->At(x, y);
  return pixels;
}
}  // namespace

PopupMenuTracker::PopupMenuTracker(const MenuTree& tree, platform::WindowId window, Waiter& waiter,
                                   Point client_size)
    : tree_(tree), window_(window), waiter_(waiter), client_size_(client_size) {}

uint16_t PopupMenuTracker::TrackPopup(Point at) {
  if (!tree_.built()) return 0;
  done_ = false;
  chosen_ = 0;
  armed_ = false;
  opened_at_ = at;
  OpenRoot(at);
  while (!done_)
    if (!waiter_.PumpWaiting()) Finish(0);
  CloseAbove(0);
  return chosen_;
}

void PopupMenuTracker::OpenRoot(Point at) {
  PopupMenuWindow root(tree_.root(), static_cast<int>(tree_.menuCount()) - 1);
  // Opens to the right of and below the pointer; to the left or above where that does not
  // fit, and never outside the window.
  int32_t x = at.x, y = at.y;
  if (x + root.width() > client_size_.x) x -= root.width();
  if (y + root.height() > client_size_.y) y -= root.height();
  x = std::clamp(x, 0, std::max(0, client_size_.x - root.width()));
  y = std::clamp(y, 0, std::max(0, client_size_.y - root.height()));
  root.MoveTo({x, y});
  under_.push_back(Grab(window_, root.bounds()));
  levels_.push_back(std::move(root));
  leftwards_.push_back(x < at.x);
  Show();
}

void PopupMenuTracker::OpenSubmenu(size_t level, bool select_first) {
  CloseAbove(level + 1);
  const PopupMenuWindow& parent = levels_[level];
  const int item = parent.selected();
  if (item == PopupMenuWindow::kNone) return;
  const MenuItem& entry = parent.menu().items[static_cast<size_t>(item)];
  if (entry.kind != MenuItemKind::kSubmenu || entry.submenu < 0 ||
      static_cast<size_t>(entry.submenu) >= tree_.menuCount())
    return;
  PopupMenuWindow sub(tree_.menu(entry.submenu), entry.submenu);
  // Beside the parent's item, on the side the cascade has been going (rightwards at first),
  // or on the other where that side has no room.
  const Rect row = parent.ItemRect(item);
  const int32_t right = parent.bounds().right - kOverlap;
  const int32_t left = parent.bounds().left - sub.width() + kOverlap;
  bool leftwards = leftwards_.back();
  if (leftwards && left < 0)
    leftwards = false;
  else if (!leftwards && right + sub.width() > client_size_.x)
    leftwards = true;
  int32_t x = leftwards ? left : right;
  int32_t y = row.top - PopupMenuWindow::kBorder;
  if (y + sub.height() > client_size_.y) y = client_size_.y - sub.height();
  x = std::clamp(x, 0, std::max(0, client_size_.x - sub.width()));
  y = std::max(y, 0);
  sub.MoveTo({x, y});
  if (select_first) sub.Select(sub.Next(PopupMenuWindow::kNone, 1));
  under_.push_back(Grab(window_, sub.bounds()));
  levels_.push_back(std::move(sub));
  leftwards_.push_back(leftwards);
  Show();
}

void PopupMenuTracker::CloseAbove(size_t level) {
  if (levels_.size() <= level) return;
  Rect gone;
  // The newest first, so that each puts back what was under it when it opened.
  while (levels_.size() > level) {
    const Rect r = levels_.back().bounds();
    const std::vector<uint16_t>& under = under_.back();
    platform::SetWindowCovers(window_, {});
    platform::DrawOverWindow(window_, under, r.Width(), r.Height(), {r.left, r.top});
    gone = platform::Union(gone, r);
    levels_.pop_back();
    under_.pop_back();
    leftwards_.pop_back();
  }
  Show();
  // The game paints its present picture there (around the menus still open).
  if (!gone.Empty()) platform::InvalidateRect(window_, gone);
}

void PopupMenuTracker::Show() {
  std::vector<Rect> covers;
  for (PopupMenuWindow& level : levels_) {
    level.Render();
    const Rect r = level.bounds();
    platform::DrawOverWindow(window_, level.pixels(), r.Width(), r.Height(), {r.left, r.top});
    covers.push_back(r);
  }
  platform::SetWindowCovers(window_, covers);
}

int PopupMenuTracker::LevelAt(Point p) const {
  for (int i = static_cast<int>(levels_.size()) - 1; i >= 0; --i)
    if (levels_[static_cast<size_t>(i)].bounds().Contains(p)) return i;
  return -1;
}

void PopupMenuTracker::MouseAt(Point p) {
  const int level = LevelAt(p);
  if (level < 0) return;
  const auto l = static_cast<size_t>(level);
  PopupMenuWindow& menu = levels_[l];
  const int item = menu.ItemAt(p);
  if (item == menu.selected() && l + 1 < levels_.size()) {
    // Back on the item whose submenu is open: the submenu loses its selection only.
    if (levels_[l + 1].Select(PopupMenuWindow::kNone)) Show();
    CloseAbove(l + 2);
    return;
  }
  const bool changed = menu.Select(item);
  if (!changed && l + 1 == levels_.size()) return;
  CloseAbove(l + 1);
  // Pointing at a submenu opens it.
  if (menu.selected() != PopupMenuWindow::kNone &&
      menu.menu().items[static_cast<size_t>(menu.selected())].kind == MenuItemKind::kSubmenu)
    OpenSubmenu(l, false);
  else
    Show();
}

void PopupMenuTracker::ButtonDown(Point p) {
  // A click outside every open menu dismisses it.
  if (LevelAt(p) < 0) {
    Finish(0);
    return;
  }
  armed_ = true;
  MouseAt(p);
}

void PopupMenuTracker::ButtonUp(Point p) {
  if (!armed_) return;
  const int level = LevelAt(p);
  if (level < 0) return;
  const auto l = static_cast<size_t>(level);
  if (levels_[l].ItemAt(p) != levels_[l].selected()) MouseAt(p);
  if (levels_[l].selected() != PopupMenuWindow::kNone) Activate(l);
}

void PopupMenuTracker::Activate(size_t level) {
  const PopupMenuWindow& menu = levels_[level];
  if (menu.selected() == PopupMenuWindow::kNone) return;
  const MenuItem& item = menu.menu().items[static_cast<size_t>(menu.selected())];
  if (item.kind == MenuItemKind::kSubmenu) {
    if (level + 1 == levels_.size()) OpenSubmenu(level, true);
    return;
  }
  // A greyed command cannot be chosen: the menu stays open.
  if (item.kind == MenuItemKind::kCommand && !item.grayed) Finish(item.id);
}

void PopupMenuTracker::Key(platform::Key key) {
  using platform::Key;
  // The keys work in the deepest menu that has a selection, or in the deepest one.
  size_t level = levels_.size() - 1;
  if (levels_[level].selected() == PopupMenuWindow::kNone && level > 0 &&
      (key == Key::Left || key == Key::Right || key == Key::Enter))
    --level;
  PopupMenuWindow& menu = levels_[level];
  switch (key) {
    case Key::Up:
    case Key::Down:
      // Up and Down move in the deepest open menu, going round.
      if (PopupMenuWindow& deepest = levels_.back();
          deepest.Select(deepest.Next(deepest.selected(), key == Key::Down ? 1 : -1))) {
        CloseAbove(levels_.size());
        Show();
      }
      return;
    case Key::Right:
    case Key::Enter:
      if (menu.selected() == PopupMenuWindow::kNone) return;
      if (menu.menu().items[static_cast<size_t>(menu.selected())].kind == MenuItemKind::kSubmenu) {
        if (level + 1 < levels_.size()) {
          // Its submenu is open already: step into it.
          PopupMenuWindow& sub = levels_[level + 1];
          if (sub.selected() == PopupMenuWindow::kNone)
            sub.Select(sub.Next(PopupMenuWindow::kNone, 1));
          Show();
        } else {
          OpenSubmenu(level, true);
        }
      } else if (key == Key::Enter) {
        Activate(level);
      }
      return;
    case Key::Left:
      if (levels_.size() > 1) CloseAbove(levels_.size() - 1);
      return;
    case Key::Escape:
      if (levels_.size() > 1)
        CloseAbove(levels_.size() - 1);
      else
        Finish(0);
      return;
    default:
      return;
  }
}

bool PopupMenuTracker::OnInput(const platform::Message& message) {
  if (levels_.empty()) return false;
  const Point p = platform::UnpackPoint(message.lparam);
  switch (message.kind) {
    case Msg::MouseMove:
      if (p != opened_at_) armed_ = true;
      MouseAt(p);
      return true;
    case Msg::LButtonDown:
    case Msg::RButtonDown:
      ButtonDown(p);
      return true;
    case Msg::LButtonUp:
    case Msg::RButtonUp:
      ButtonUp(p);
      return true;
    case Msg::KeyDown:
      Key(static_cast<platform::Key>(message.wparam & 0xFF));
      return true;
    default:
      return false;
  }
}

void PopupMenuTracker::Finish(uint16_t command) {
  done_ = true;
  chosen_ = command;
}

}  // namespace tvx
