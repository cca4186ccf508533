// The right-button command menu as a tree: its menus, their items in order with texts,
// command identifiers, icons and states. Built once when the main window exists (the debug
// entries only in debug mode); the options and the scripts change the check marks and the
// greyed game commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tvx {

struct MenuCommandStates;

enum class MenuItemKind : uint8_t { kCommand, kSubmenu, kSeparator };

struct MenuItem {
  MenuItemKind kind = MenuItemKind::kCommand;
  std::string text;   // GBK
  uint16_t id = 0;    // the command; 0 for submenus and separators
  uint16_t icon = 0;  // icon resource, 0 for none
  int submenu = -1;   // the menu a submenu item opens
  bool grayed = false;
  bool checked = false;
};

struct Menu {
  std::vector<MenuItem> items;
};

// What the check marks show.
struct MenuOptions {
  uint32_t moveSpeed = 1;
  uint32_t soundOn = 1;
  uint32_t voiceOn = 1;
  bool debug = false;
  bool fullScreen = false;  // the picture fills the screen now (debug mode's screen modes)
};

class MenuTree {
 public:
  // The menus in the order they are built; the command menu, the root, is the last.
  void Build(bool debug);
  bool built() const { return !menus_.empty(); }
  const Menu& root() const { return menus_.back(); }
  size_t menuCount() const { return menus_.size(); }
  const Menu& menu(int index) const { return menus_[static_cast<size_t>(index)]; }

  // The command item with this identifier, anywhere in the tree; nullptr when none.
  MenuItem* Find(uint16_t id);
  const MenuItem* Find(uint16_t id) const;
  void Check(uint16_t id, bool on);
  void Gray(uint16_t id, bool on);
  // A command the player can choose: in the tree and not greyed.
  bool Choosable(uint16_t id) const;

  // The check marks from the options.
  void UpdateChecks(const MenuOptions& options);
  // The game commands the scripts enable and check.
  void Sync(const MenuCommandStates& commands);

  // One line per item of the whole tree, depth first: DEPTH TAB KIND TAB ID TAB STATE TAB
  // TEXT (UTF-8), STATE "checked" and/or "grayed" joined by a comma, or "-".
  std::string Describe() const;

 private:
  int Add(Menu menu);
  void DescribeMenu(int index, int depth, std::string& out) const;

  std::vector<Menu> menus_;
};

}  // namespace tvx
