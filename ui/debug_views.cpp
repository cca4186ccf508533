#include "ui/debug_views.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <string>

#include "graphics/graphics_engine.h"
#include "platform/platform.h"
#include "script/player_input.h"
#include "script/script_host.h"
#include "script/variable_area.h"
#include "script/vm_memory.h"

namespace tvx {

namespace {
constexpr uint16_t kWhite = 0x7FFF, kYellow = 0x7FE0, kCyan = 0x03FF, kBlack = 0;
constexpr int kCellWidth = 8, kCellHeight = 16;
// The font's half-width glyphs use all 8 columns of their cell and the glyph drawing puts a
// glyph one pixel into its box: drawn at the cell, a glyph's last column (two, bold) lies in
// the next cell, whose clearing cuts it off (a 0 reads as a C), and the next glyph's black
// outline covers it too. Drawn plain, one pixel to the left and without the outline (black on
// black shows nothing anyway), every face lies wholly in its own cell.
constexpr uint16_t kGlyphStyle = 0;
constexpr int kWidth = VramPlaneSet::kScreenWidth, kHeight = VramPlaneSet::kScreenHeight;

// The menu's debug commands.
constexpr uint16_t kViewFlags = 40010, kViewRegisters16 = 40011, kViewRegisters32 = 40012;
constexpr uint16_t kViewArray16 = 40014, kViewArray32 = 40015;
constexpr std::array<uint16_t, 8> kPlaneCommands = {40004, 40005, 40006, 40007,
                                                    40008, 40016, 40002, 40029};

int DigitsOf(uint32_t value) {
  int digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}
}  // namespace

// One table view: `count` entries in rows of `columns`, each shown in `digits` decimal digits.
struct DebugViews::Table {
  uint32_t count = 0;
  uint32_t columns = 16;
  int digits = 3;
  int left = 64;  // the column headers; the row labels end here
  uint32_t (*read)(const DebugViews& views, VmAddress base, uint32_t index) = nullptr;
  VmAddress base = 0;
};

DebugViews::DebugViews(VramPlaneSet& planes, GraphicsEngine& graphics,
                       const VariableArea& variables, const VmMemory& memory, ScriptHost& host)
    : planes_(planes),
      graphics_(graphics),
      variables_(variables),
      memory_(memory),
      host_(host),
      pixels_(size_t{kWidth} * kHeight) {
  picture_.pixels = pixels_;
  picture_.width = kWidth;
  picture_.height = kHeight;
}

uint32_t DebugViews::Step(uint32_t start, int input, uint32_t count, uint32_t columns) {
  const int64_t page = int64_t{kRows} * columns;
  const int64_t rows = (int64_t{count} + columns - 1) / columns;
  const int64_t last = std::max<int64_t>(0, (rows - kRows) * columns);
  int64_t at = start;
  switch (input) {
    case kUp:
      at -= columns;
      break;
    case kDown:
      at += columns;
      break;
    case kLeft:
      // To the page boundary before the one this page starts in (from the last page, which
      // starts between two boundaries, that skips a page); never before the first.
      at = at / page * page - page;
      break;
    case kRight:
      at = (at / page + 1) * page;
      break;
    default:
      break;
  }
  return static_cast<uint32_t>(std::clamp<int64_t>(at, 0, last));
}

bool DebugViews::Run(uint16_t command, platform::WindowId window) {
  if (active_) return false;
  const auto plane = std::find(kPlaneCommands.begin(), kPlaneCommands.end(), command);
  Table table;
  switch (command) {
    case kViewFlags:
      table = {.count = VariableArea::kFlagCount,
               .columns = 16,
               .digits = 3,
               .left = 64,
               .read = [](const DebugViews& views, VmAddress, uint32_t i) -> uint32_t {
                 return views.variables_.Flag(i);
               }};
      break;
    case kViewArray16: {
      const VmAddress base =
          memory_.Read32(kVariableAreaAddress + VariableArea::kArray0AddressOffset);
      table = {.count = static_cast<uint32_t>(memory_.Rest(base).size() / 2),
               .columns = 8,
               .digits = 5,
               .left = 144,
               .read = [](const DebugViews& views, VmAddress at, uint32_t i) -> uint32_t {
                 return views.memory_.Read16(at + 2 * i);
               },
               .base = base};
      break;
    }
    case kViewArray32: {
      const VmAddress base = kVariableAreaAddress + VariableArea::kSystemPointersOffset;
      table = {.count = static_cast<uint32_t>(memory_.Rest(base).size() / 4),
               .columns = 4,
               .digits = 10,
               .left = 144,
               .read = [](const DebugViews& views, VmAddress at, uint32_t i) -> uint32_t {
                 return views.memory_.Read32(at + 4 * i);
               },
               .base = base};
      break;
    }
    case kViewRegisters16:
    case kViewRegisters32:
      break;
    default:
      if (plane == kPlaneCommands.end()) return false;
      break;
  }

  active_ = true;
  window_ = window;
  planes_.SetWindowCovered(true);
  bool running = true;
  if (plane != kPlaneCommands.end())
    running = ShowPlane(static_cast<uint32_t>(plane - kPlaneCommands.begin()));
  else if (command == kViewRegisters16 || command == kViewRegisters32)
    running = ShowRegisters(command == kViewRegisters32);
  else
    running = ShowTable(table);
  active_ = false;
  planes_.SetWindowCovered(false);
  // The key or click that closed the view is not seen again by the script's next wait.
  host_.ForgetPresses();
  // The game's picture comes back, unless the window is going away.
  if (running) planes_.InvalidateRect(0, 0, kWidth, kHeight);
  return true;
}

void DebugViews::Paint(platform::WindowId window, const platform::Rect& update) const {
  platform::CopyToWindow(window, picture_.View(), update, {update.left, update.top});
}

void DebugViews::Show() const {
  Paint(window_, {0, 0, kWidth, kHeight});
}

bool DebugViews::WaitFor(int input, bool down) {
  while ((host_.QueryInput(input) != 0) != down)
    if (!host_.PumpWaiting()) return false;
  return true;
}

bool DebugViews::ShowPlane(uint32_t index) {
  {
    std::lock_guard lock(planes_.pixelLock());
    // Plane 0 is the real one, whatever the redirect switch says.
    const VramPlane& plane = index == 0 ? planes_.Plane0() : planes_.Get(index);
    if (plane.exists()) {
      // Window point p shows plane point p - origin; what the plane does not cover is black.
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          const int px = x - plane.originX, py = y - plane.originY;
          const bool inside = px >= 0 && py >= 0 && px < plane.width && py < plane.height;
          picture_.At(x, y) = inside ? plane.At(px, py) : kBlack;
        }
    } else if (const platform::Framebuffer* screen = platform::WindowFramebuffer(window_);
               screen && screen->pixels().size() == pixels_.size()) {
      // A plane without pixels leaves the window as it was.
      std::copy(screen->pixels().begin(), screen->pixels().end(), pixels_.begin());
    }
  }
  Show();
  return WaitFor(kDecide, true) && WaitFor(kDecide, false);
}

bool DebugViews::ShowRegisters(bool wide) {
  Clear();
  for (int r = 0; r < 26; ++r) {
    std::string name = wide ? "dwA : " : "A : ";
    name[wide ? 2 : 0] = static_cast<char>('A' + r);
    DrawText(name, 16, kCellHeight * r, kYellow);
    if (wide)
      DrawNumber(variables_.Register32(r), 8, true, 64, kCellHeight * r, kWhite);
    else
      DrawNumber(variables_.Register16(r), 4, true, 48, kCellHeight * r, kWhite);
  }
  Show();
  return WaitFor(kCancel, true) && WaitFor(kCancel, false);
}

bool DebugViews::ShowTable(const Table& table) {
  // The script is suspended while the view is open, so a page is drawn when it is turned to.
  uint32_t start = 0;
  bool turned = true;
  while (host_.PumpWaiting()) {
    if (turned) {
      DrawTable(table, start);
      Show();
      turned = false;
    }
    if (host_.QueryInput(kCancel)) return WaitFor(kCancel, false);
    for (const int input : {kUp, kDown, kLeft, kRight}) {
      if (!host_.QueryInput(input)) continue;
      if (!WaitFor(input, false)) return false;
      const uint32_t next = Step(start, input, table.count, table.columns);
      turned = turned || next != start;
      start = next;
    }
  }
  return false;
}

void DebugViews::DrawTable(const Table& table, uint32_t start) {
  Clear();
  const uint32_t last = table.count == 0 ? 0 : table.count - 1;
  const int label_digits = std::max(4, DigitsOf(last));
  const int column_width = kCellWidth * (table.digits + 1);
  for (int r = 0; r < kRows; ++r) {
    const uint32_t first = start + table.columns * static_cast<uint32_t>(r);
    if (first >= table.count) break;
    DrawNumber(first, label_digits, false, table.left - kCellWidth * label_digits,
               kCellHeight * (r + 1), kYellow);
  }
  for (uint32_t c = 0; c < table.columns; ++c) {
    const int x = table.left + column_width * static_cast<int>(c);
    DrawText("+", x, 0, kCyan);
    DrawNumber(c, table.digits, false, x + kCellWidth, 0, kCyan);
  }
  for (int r = 0; r < kRows; ++r)
    for (uint32_t c = 0; c < table.columns; ++c) {
      const uint32_t index = start + table.columns * static_cast<uint32_t>(r) + c;
      if (index >= table.count) return;
      DrawNumber(table.read(*this, table.base, index), table.digits, false,
                 table.left + kCellWidth + column_width * static_cast<int>(c),
                 kCellHeight * (r + 1), kWhite);
    }
}

void DebugViews::Clear() {
  std::fill(pixels_.begin(), pixels_.end(), kBlack);
}

void DebugViews::DrawText(std::string_view text, int x, int y, uint16_t colour) {
  // The glyph colours are the script's; they are lent for the drawing only.
  const uint16_t outline = graphics_.glyphs().outlineColour();
  const uint16_t face = graphics_.glyphs().faceColour();
  graphics_.SetColours(kBlack, colour);
  for (const char ch : text) {
    for (int row = y; row < std::min(y + kCellHeight, int{kHeight}); ++row)
      for (int col = x; col < std::min(x + kCellWidth, int{kWidth}); ++col)
        if (row >= 0 && col >= 0) picture_.At(col, row) = kBlack;
    graphics_.DrawGlyph(picture_, static_cast<uint8_t>(ch), x - 1, y, kGlyphStyle,
                        /*outline=*/false);
    x += kCellWidth;
  }
  graphics_.SetColours(outline, face);
}

void DebugViews::DrawNumber(uint32_t value, int digits, bool hex, int x, int y, uint16_t colour) {
  // Leading zeros up to `digits`; hexadecimal in upper case.
  std::string text;
  const uint32_t base = hex ? 16 : 10;
  do {
    text.insert(text.begin(), "0123456789ABCDEF"[value % base]);
    value /= base;
  } while (value != 0);
  if (static_cast<int>(text.size()) < digits)
    text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
  DrawText(text, x, y, colour);
}

}  // namespace tvx
