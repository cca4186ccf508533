// The debug menu's views: a picture plane, or a table of the script's variables, shown on the
// main window until the developer dismisses it. A view draws into a picture of its own, never
// into the game's planes; while it is open the main window's paint handler shows that picture,
// and the game (fades, animations, sound) goes on behind it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "graphics/vram_plane_set.h"
#include "platform/types.h"

namespace tvx {

class GraphicsEngine;
class ScriptHost;
class VariableArea;
class VmMemory;

class DebugViews {
 public:
  static constexpr int kRows = 29;

  DebugViews(VramPlaneSet& planes, GraphicsEngine& graphics, const VariableArea& variables,
             const VmMemory& memory, ScriptHost& host);
  DebugViews(const DebugViews&) = delete;
  DebugViews& operator=(const DebugViews&) = delete;

  // Runs the view of a debug command on `window` until it is dismissed or the program
  // quits; false for a command that is no view, or while another view is open.
  bool Run(uint16_t command, platform::WindowId window);
  bool active() const { return active_; }
  // The paint handler's part while a view is open: the view's picture for `update`.
  void Paint(platform::WindowId window, const platform::Rect& update) const;

  // Where a table of `count` entries in rows of `columns` starts after one arrow key
  // (PlayerInput up, down, left or right) pressed at `start`: a row up or down, or to the
  // page before or after; never before 0 nor past the last full page.
  static uint32_t Step(uint32_t start, int input, uint32_t count, uint32_t columns);

 private:
  struct Table;
  bool ShowPlane(uint32_t index);
  bool ShowRegisters(bool wide);
  bool ShowTable(const Table& table);
  void DrawTable(const Table& table, uint32_t start);
  void Clear();
  void DrawText(std::string_view text, int x, int y, uint16_t colour);
  void DrawNumber(uint32_t value, int digits, bool hex, int x, int y, uint16_t colour);
  void Show() const;
  // Waits for the input to be down (or up); false when the program quits meanwhile.
  bool WaitFor(int input, bool down);

  VramPlaneSet& planes_;
  GraphicsEngine& graphics_;
  const VariableArea& variables_;
  const VmMemory& memory_;
  ScriptHost& host_;
  std::vector<uint16_t> pixels_;
  VramPlane picture_;
  platform::WindowId window_ = platform::kNoWindow;
  bool active_ = false;
};

}  // namespace tvx
