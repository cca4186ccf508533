#include "ui/menu_tree.h"

#include <string_view>

#include "resources/gbk.h"
#include "script/shared_state.h"

namespace tvx {
namespace {

// Identifiers of the commands.
enum : uint16_t {
  kCancel = 2,
  kViewPlane6 = 40002,
  kViewPlane0 = 40004,
  kViewPlane1 = 40005,
  kViewPlane2 = 40006,
  kViewPlane3 = 40007,
  kViewPlane4 = 40008,
  kNowFile = 40009,
  kViewFlags = 40010,
  kViewRegisters16 = 40011,
  kViewRegisters32 = 40012,
  kDump = 40013,
  kViewArrays16 = 40014,
  kViewArrays32 = 40015,
  kViewPlane5 = 40016,
  kMusicOn = 40017,
  kMusicOff = 40018,
  kVoiceOn = 40019,
  kVoiceOff = 40020,
  kTypedCommand = 40024,
  kWindowed = 40027,
  kFullScreen = 40028,
  kViewPlane7 = 40029,
  kVolume = 40030,
  kFastest = 40033,
  kStandard = 40034,
  kSlowest = 40035,
  kEndGame = 57665,
};

// Icon resources of the command menu.
constexpr uint16_t kItemWindowIcon = 517;
constexpr uint16_t kLoadIcon = 520;
constexpr uint16_t kSaveIcon = 521;

MenuItem Command(std::string_view utf8, uint16_t id, bool grayed = false, uint16_t icon = 0) {
  return {MenuItemKind::kCommand, gbk::FromUtf8(utf8), id, icon, -1, grayed, false};
}
MenuItem Submenu(std::string_view utf8, int menu) {
  return {MenuItemKind::kSubmenu, gbk::FromUtf8(utf8), 0, 0, menu, false, false};
}
MenuItem Separator() {
  return {MenuItemKind::kSeparator, {}, 0, 0, -1, false, false};
}

}  // namespace

int MenuTree::Add(Menu menu) {
  menus_.push_back(std::move(menu));
  return static_cast<int>(menus_.size()) - 1;
}

void MenuTree::Build(bool debug) {
  menus_.clear();
  const int music = Add({{Command("ＯＮ", kMusicOn), Command("ＯＦＦ", kMusicOff)}});
  const int voice = Add({{Command("ＯＮ", kVoiceOn), Command("ＯＦＦ", kVoiceOff)}});
  const int speed =
      Add({{Command("最快", kFastest), Command("标准", kStandard), Command("最低", kSlowest)}});
  int planes = -1, screen = -1;
  if (debug) {
    planes = Add(
        {{Command("View Primary Vram", kViewPlane0), Command("View Back    Vram 1", kViewPlane1),
          Command("View Back    Vram 2", kViewPlane2), Command("View Back    Vram 3", kViewPlane3),
          Command("View Back    Vram 4", kViewPlane4), Command("View Back    Vram 5", kViewPlane5),
          Command("View Back    Vram 6", kViewPlane6),
          Command("View Back    Vram 7", kViewPlane7)}});
    screen = Add({{Command("窗口", kWindowed), Command("全屏幕", kFullScreen)}});
  }
  const int settings = Add({{Submenu("音乐＆效果音", music), Submenu("声音", voice),
                             Command("音量设定", kVolume), Submenu("移动速度", speed)}});
  int debug_menu = -1;
  if (debug) {
    debug_menu =
        Add({{Command("NOW FILE", kNowFile), Submenu("View Vram", planes),
              Command("View FLAG", kViewFlags), Command("View 16BIT REG", kViewRegisters16),
              Command("View 32BIT REG", kViewRegisters32), Command("View 16BIT DIM", kViewArrays16),
              Command("View 32BIT DIM", kViewArrays32), Command("DUMP", kDump),
              Command("COMMAND", kTypedCommand), Submenu("屏幕模式", screen)}});
  }
  Menu command{{Command("道具窗口(SPACE)", kCommandItemWindow, true, kItemWindowIcon),
                Command("保存窗口(S)", kCommandSaveRequest, true, kSaveIcon),
                Command("读取窗口(L)", kCommandLoadRequest, true, kLoadIcon), Separator(),
                Command("信息清除(Tab)", kCommandClearMessages, true), Separator(),
                Submenu("环境设定", settings), Separator(), Command("结束游戏(Alt+F4)", kEndGame)}};
  if (debug) {
    command.items.push_back(Separator());
    command.items.push_back(Submenu("Debug", debug_menu));
  }
  command.items.push_back(Separator());
  command.items.push_back(Command("取消", kCancel));
  Add(std::move(command));
}

const MenuItem* MenuTree::Find(uint16_t id) const {
  if (id == 0) return nullptr;
  for (const Menu& menu : menus_)
    for (const MenuItem& item : menu.items)
      if (item.kind == MenuItemKind::kCommand && item.id == id) return &item;
  return nullptr;
}

MenuItem* MenuTree::Find(uint16_t id) {
  return const_cast<MenuItem*>(static_cast<const MenuTree*>(this)->Find(id));
}

void MenuTree::Check(uint16_t id, bool on) {
  if (MenuItem* item = Find(id)) item->checked = on;
}

void MenuTree::Gray(uint16_t id, bool on) {
  if (MenuItem* item = Find(id)) item->grayed = on;
}

bool MenuTree::Choosable(uint16_t id) const {
  const MenuItem* item = Find(id);
  return item && !item->grayed;
}

void MenuTree::UpdateChecks(const MenuOptions& options) {
  if (options.moveSpeed <= 2) {
    Check(kFastest, options.moveSpeed == 0);
    Check(kStandard, options.moveSpeed == 1);
    Check(kSlowest, options.moveSpeed == 2);
  }
  Check(kMusicOn, options.soundOn != 0);
  Check(kMusicOff, options.soundOn == 0);
  Check(kVoiceOn, options.voiceOn != 0);
  Check(kVoiceOff, options.voiceOn == 0);
  // Both screen modes stay choosable: a greyed "窗口" would keep a player in full screen.
  if (options.debug) {
    Check(kFullScreen, options.fullScreen);
    Check(kWindowed, !options.fullScreen);
  }
}

void MenuTree::Sync(const MenuCommandStates& commands) {
  for (size_t i = 0; i < MenuCommandStates::kIds.size(); ++i) {
    Gray(MenuCommandStates::kIds[i], !commands.states[i].enabled);
    Check(MenuCommandStates::kIds[i], commands.states[i].checked);
  }
}

void MenuTree::DescribeMenu(int index, int depth, std::string& out) const {
  for (const MenuItem& item : menus_[static_cast<size_t>(index)].items) {
    std::string state;
    if (item.checked) state = "checked";
    if (item.grayed) state += state.empty() ? "grayed" : ",grayed";
    if (state.empty()) state = "-";
    const char* kind = item.kind == MenuItemKind::kCommand   ? "command"
                       : item.kind == MenuItemKind::kSubmenu ? "submenu"
                                                             : "separator";
    out += std::to_string(depth) + '\t' + kind + '\t' + std::to_string(item.id) + '\t' + state +
           '\t' + gbk::ToUtf8(item.text) + '\n';
    if (item.kind == MenuItemKind::kSubmenu && item.submenu >= 0)
      DescribeMenu(item.submenu, depth + 1, out);
  }
}

std::string MenuTree::Describe() const {
  std::string out;
  if (built()) DescribeMenu(static_cast<int>(menus_.size()) - 1, 0, out);
  return out;
}

}  // namespace tvx
