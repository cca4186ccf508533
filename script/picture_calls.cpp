#include "script/picture_calls.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/game_system.h"
#include "app/pump.h"
#include "graphics/blitter.h"
#include "script/screen_calls.h"
#include "script/script_interpreter.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

std::span<uint8_t> Staging(GameSystem& system) {
  const auto image = system.variables().image();
  return image.subspan(std::min<size_t>(system.variables().Pointer(1), image.size()));
}

// The bytes of a plane's pixel memory, for files read straight into it.
std::span<uint8_t> PlaneBytes(VramPlane& plane) {
  return {reinterpret_cast<uint8_t*>(plane.pixels.data()), plane.pixels.size() * 2};
}

// Waits p ticks from now unless Shift is down; cancel ends it with 32-bit S = 1.
void WaitTicks(GameSystem& system, uint32_t ticks) {
  VariableArea& variables = system.variables();
  MainWindow& window = system.mainWindow();
  TickThread* clock = system.ticks();
  variables.SetRegister32(VariableArea::kRegisterS, 0);
  if (!clock) return;
  clock->ResetTicks();
  while (clock->GetTicks() < ticks) {
    if (window.QueryInput(MainWindow::kShift)) return;
    if (window.QueryInput(MainWindow::kCancel)) {
      variables.SetRegister32(VariableArea::kRegisterS, 1);
      return;
    }
    if (!PumpOnceWaiting()) return;
  }
}

}  // namespace

void PictureCall(ScriptInterpreter&, GameSystem& system, const ParamList& p) {
  if (!system.archives()) return;
  VariableArea& variables = system.variables();
  std::string name = p.Text(0);
  system.ShowFileName(2, name);
  const auto staging = Staging(system);
  if (!system.archives()->LoadPicture(name, staging)) return;
  const uint16_t target = variables.Word(kWordTargetPlane);
  VramPlane& plane = system.planes().Get(target);
  const auto file = staging.first(std::min<size_t>(system.archives()->lastReadSize, staging.size()));
  if (!system.graphics().LoadPicture(file, plane)) return;
  const PictureGeometry& g = system.graphics().lastPicture();
  variables.SetWord(kWordPictureX, g.x);
  variables.SetWord(kWordPictureY, g.y);
  variables.SetWord(kWordPictureWidth, g.width);
  variables.SetWord(kWordPictureHeight, g.height);
  if (target == 0) system.planes().PresentRect(g.x, g.y, g.width, g.height);
}

void BlitCall(ScriptInterpreter&, GameSystem& system, const ParamList& p) {
  VariableArea& variables = system.variables();
  const uint32_t op = p.Value(0);
  // Scripts give inclusive corners; the blits take sizes.
  const uint32_t w = p.Value(3) - p.Value(1) + 1;
  const uint32_t h = p.Value(4) - p.Value(2) + 1;
  GraphicsEngine::BlitParams q{};
  q[1] = p.Value(1);
  q[2] = p.Value(2);
  q[3] = w;
  q[4] = h;
  uint32_t dest_plane = 0, dx = 0, dy = 0;
  switch (op) {
    case kCopyRect:
    case kCopyRectKeyed:
    case kSwapRect:
    case kDissolve:
      for (int i = 5; i <= 8; ++i) q[static_cast<size_t>(i)] = p.Value(static_cast<size_t>(i));
      q[12] = variables.Word(kWordKeyColour);
      dest_plane = p.Value(8), dx = p.Value(6), dy = p.Value(7);
      break;
    case kFillRect:
    case kToggleColour:
      q[5] = variables.Word(kWordTargetPlane);
      q[12] = variables.Word(kWordOutlineColour);
      q[13] = variables.Word(kWordFaceColour);
      dest_plane = q[5], dx = q[1], dy = q[2];
      break;
    case kComposite:
    case kCrossFade:
      for (int i = 5; i <= 11; ++i) q[static_cast<size_t>(i)] = p.Value(static_cast<size_t>(i));
      q[12] = variables.Word(kWordKeyColour);
      dest_plane = p.Value(11), dx = p.Value(9), dy = p.Value(10);
      break;
    default:
      return;
  }
  system.graphics().Blit(op, q);
  if (dest_plane == 0)
    system.planes().PresentRect(static_cast<int>(dx & 0xFFFF), static_cast<int>(dy & 0xFFFF),
                                static_cast<int>(w & 0xFFFF), static_cast<int>(h & 0xFFFF));
}

bool PictureEffect(GameSystem& system, const ParamList& p) {
  VramPlaneSet& planes = system.planes();
  auto v = [&](size_t i) { return p.Value(i); };
  switch (v(0)) {
    case 0: {  // plane 0's place on the window
      {
        std::lock_guard lock(planes.pixelLock());
        planes.Plane0().originX = static_cast<uint16_t>(v(1));
        planes.Plane0().originY = static_cast<uint16_t>(v(2));
      }
      planes.InvalidateRect(0, 0, VramPlaneSet::kScreenWidth, VramPlaneSet::kScreenHeight);
      return true;
    }
    case 1:
    case 5: {  // darken or wash a block
      {
        std::lock_guard lock(planes.pixelLock());
        const blit::Rect16 rect{v(1) & 0xFFFF, v(2) & 0xFFFF, v(3) & 0xFFFF, v(4) & 0xFFFF};
        VramPlane& plane = planes.Get(v(5));
        if (v(0) == 1)
          blit::Darken(plane, rect);
        else
          blit::Wash(plane, rect);
      }
      if (v(5) == 0)
        planes.PresentRect(static_cast<int>(v(1)), static_cast<int>(v(2)),
                           static_cast<int>(v(3) - v(1)), static_cast<int>(v(4) - v(2)));
      return true;
    }
    case 6: {  // scroll a block across, four pixels a step, then wait as 7
      GraphicsEngine::BlitParams q{};
      q[3] = v(3);
      q[4] = v(4);
      q[5] = v(5);
      q[6] = v(6);
      q[7] = v(7);
      q[8] = v(8);
      auto step = [&](uint32_t offset) {
        q[1] = v(1) + offset;
        q[2] = v(2);
        system.graphics().Blit(kCopyRect, q);
        planes.PresentRect(static_cast<int>(v(6)), static_cast<int>(v(7)),
                           static_cast<int>(v(3)), static_cast<int>(v(4)));
      };
      for (uint32_t offset = 0; offset < v(9); offset += 4) step(offset);
      step(v(9));
      WaitTicks(system, v(1));
      return true;
    }
    case 7:
      WaitTicks(system, v(1));
      return true;
    case 9: {  // the thirteen pictures: twelve into plane 1's memory, the last staged
      if (!system.archives()) return true;
      auto memory = PlaneBytes(planes.Get(1));
      system.thirteenPictures = {};
      size_t at = 0;
      for (int i = 1; i <= 13; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "A30_%02d.G16", i);
        std::string file = name;
        const auto destination = i < 13 ? memory.subspan(std::min(at, memory.size())) : Staging(system);
        if (!system.archives()->LoadPicture(file, destination)) break;
        const size_t size = std::min<size_t>(system.archives()->lastReadSize, destination.size());
        system.thirteenPictures[static_cast<size_t>(i - 1)] = destination.first(size);
        at += size;
      }
      return true;
    }
    default:
      return ScreenEffect(system, p);
  }
}

}  // namespace tvx
