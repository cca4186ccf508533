#include "script/picture_calls.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "archive/archive_set.h"
#include "graphics/blitter.h"
#include "graphics/graphics_engine.h"
#include "graphics/picture_loader.h"
#include "graphics/vram_plane_set.h"
#include "platform/tick_thread.h"
#include "resources/gbk.h"
#include "script/animation_table.h"
#include "script/player_input.h"
#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

// The bytes of a plane's pixel memory, for files read straight into it.
std::span<uint8_t> PlaneBytes(VramPlane& plane) {
  return {reinterpret_cast<uint8_t*>(plane.pixels.data()), plane.pixels.size() * 2};
}

// Waits p ticks from now unless Shift is down; cancel ends it with 32-bit S = 1.
void WaitTicks(ScriptInterpreter& interpreter, uint32_t ticks) {
  VariableArea& variables = interpreter.variables();
  ScriptHost& host = interpreter.host();
  TickThread* clock = interpreter.ticks();
  variables.SetRegister32(VariableArea::kRegisterS, 0);
  if (!clock) return;
  clock->ResetTicks();
  WaitUntil(host, [&] {
    if (clock->GetTicks() >= ticks || host.QueryInput(kShift)) return true;
    if (!host.QueryInput(kCancel)) return false;
    variables.SetRegister32(VariableArea::kRegisterS, 1);
    return true;
  });
}

// Pictures of the other layout than [GRAPHICS] bBGTYPE chooses load as garbage or nothing;
// the maker hears why, once.
void WarnOtherLayout(ScriptInterpreter& interpreter, std::string_view name,
                     std::span<const uint8_t> file) {
  const bool g16 = interpreter.graphics().g16();
  if (PictureLoader::LooksLike(file, g16) || !PictureLoader::LooksLike(file, !g16)) return;
  const std::string text =
      "picture \"" + gbk::ToUtf8(name) + "\" is " +
      (g16 ? "in the raw layout, but [GRAPHICS] bBGTYPE=1 chooses G16 pictures: set bBGTYPE=0"
           : "a G16 picture, but [GRAPHICS] bBGTYPE is 0 (or missing) and chooses the raw "
             "layout: set bBGTYPE=1") +
      " in the settings file";
  interpreter.host().WarnMaker("picture layout", text);
}

}  // namespace

void PictureCall(ScriptInterpreter& interpreter, const ParamList& p) {
  ArchiveSet* archives = interpreter.archives();
  if (!archives) return;
  VariableArea& variables = interpreter.variables();
  if (AnimationTable* animations = interpreter.animations()) animations->StopAll();
  std::string name = p.Text(0);
  interpreter.host().ShowFileName(2, name);
  const auto staging = variables.Staging();
  if (!archives->LoadPicture(name, staging)) return;
  const uint16_t target = variables.Word(kWordTargetPlane);
  VramPlane& plane = interpreter.planes().Get(target);
  const auto file = staging.first(std::min<size_t>(archives->lastReadSize, staging.size()));
  WarnOtherLayout(interpreter, name, file);
  if (!interpreter.graphics().LoadPicture(file, plane)) return;
  const PictureGeometry& g = interpreter.graphics().lastPicture();
  variables.SetWord(kWordPictureX, g.x);
  variables.SetWord(kWordPictureY, g.y);
  variables.SetWord(kWordPictureWidth, g.width);
  variables.SetWord(kWordPictureHeight, g.height);
  if (target == 0) interpreter.planes().PresentRect(g.x, g.y, g.width, g.height);
}

void BlitCall(ScriptInterpreter& interpreter, const ParamList& p) {
  VariableArea& variables = interpreter.variables();
  // Scripts give inclusive corners; the blits take sizes.
  BlitRequest r;
  r.op = p.Value(0);
  r.x = p.Value(1);
  r.y = p.Value(2);
  r.width = p.Value(3) - p.Value(1) + 1;
  r.height = p.Value(4) - p.Value(2) + 1;
  // Where the screen shows the result: the plane written and the top left of the block there.
  PlanePoint written;
  switch (r.op) {
    case kCopyRect:
    case kCopyRectKeyed:
    case kSwapRect:
    case kDissolve:
      r.plane = p.Value(5);
      r.to = {p.Value(8), p.Value(6), p.Value(7)};
      r.colour = variables.Word(kWordKeyColour);
      written = r.to;
      break;
    case kFillRect:
    case kToggleColour:
      r.plane = variables.Word(kWordTargetPlane);
      r.colour = variables.Word(kWordOutlineColour);
      r.colour2 = variables.Word(kWordFaceColour);
      written = {r.plane, r.x, r.y};
      break;
    case kComposite:
    case kCrossFade:
      r.plane = p.Value(5);
      r.to = {p.Value(8), p.Value(6), p.Value(7)};
      r.out = {p.Value(11), p.Value(9), p.Value(10)};
      r.colour = variables.Word(kWordKeyColour);
      written = r.out;
      break;
    default:
      return;
  }
  interpreter.graphics().Blit(r);
  if (written.plane == 0)
    interpreter.planes().PresentRect(
        static_cast<int>(written.x & 0xFFFF), static_cast<int>(written.y & 0xFFFF),
        static_cast<int>(r.width & 0xFFFF), static_cast<int>(r.height & 0xFFFF));
}

void PlaneOriginEffect(ScriptInterpreter& interpreter, const ParamList& p) {
  VramPlaneSet& planes = interpreter.planes();
  {
    std::lock_guard lock(planes.pixelLock());
    planes.Plane0().originX = static_cast<uint16_t>(p.Value(1));
    planes.Plane0().originY = static_cast<uint16_t>(p.Value(2));
  }
  planes.InvalidateRect(0, 0, VramPlaneSet::kScreenWidth, VramPlaneSet::kScreenHeight);
}

void DarkenOrWashEffect(ScriptInterpreter& interpreter, const ParamList& p) {
  VramPlaneSet& planes = interpreter.planes();
  auto v = [&](size_t i) { return p.Value(i); };
  const blit::Rect16 rect{v(1) & 0xFFFF, v(2) & 0xFFFF, v(3) & 0xFFFF, v(4) & 0xFFFF};
  {
    std::lock_guard lock(planes.pixelLock());
    VramPlane& plane = planes.Get(v(5));
    if (v(0) == 1)
      blit::Darken(plane, rect);
    else
      blit::Wash(plane, rect);
  }
  // The whole block that changed, a corner and a size.
  if (v(5) == 0)
    planes.PresentRect(static_cast<int>(rect.x), static_cast<int>(rect.y), static_cast<int>(rect.w),
                       static_cast<int>(rect.h));
}

void ScrollEffect(ScriptInterpreter& interpreter, const ParamList& p) {
  VramPlaneSet& planes = interpreter.planes();
  auto v = [&](size_t i) { return p.Value(i); };
  BlitRequest r;
  r.plane = v(5);
  r.y = v(2);
  r.width = v(3);
  r.height = v(4);
  r.to = {v(8), v(6), v(7)};
  auto step = [&](uint32_t offset) {
    r.x = v(1) + offset;
    interpreter.graphics().Blit(r);
    planes.PresentRect(static_cast<int>(v(6)), static_cast<int>(v(7)), static_cast<int>(v(3)),
                       static_cast<int>(v(4)));
  };
  for (uint32_t offset = 0; offset < v(9); offset += 4) step(offset);
  step(v(9));
  WaitTicks(interpreter, v(1));
}

void WaitEffect(ScriptInterpreter& interpreter, const ParamList& p) {
  WaitTicks(interpreter, p.Value(1));
}

void LoadThirteenPicturesEffect(ScriptInterpreter& interpreter, const ParamList&) {
  ArchiveSet* archives = interpreter.archives();
  if (!archives) return;
  // Twelve into plane 1's pixel memory one after the other, the last into the staging area.
  auto memory = PlaneBytes(interpreter.planes().Get(1));
  auto& pictures = interpreter.thirteenPictures;
  pictures = {};
  size_t at = 0;
  for (int i = 1; i <= 13; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "A30_%02d.G16", i);
    std::string file = name;
    const auto destination =
        i < 13 ? memory.subspan(std::min(at, memory.size())) : interpreter.variables().Staging();
    bool loaded = false;
    if (i < 13) {
      // Plane 1 is where the animation slots take their frames from.
      std::lock_guard lock(interpreter.planes().pixelLock());
      loaded = archives->LoadPicture(file, destination);
    } else {
      loaded = archives->LoadPicture(file, destination);
    }
    if (!loaded) break;
    const size_t size = std::min<size_t>(archives->lastReadSize, destination.size());
    pictures[static_cast<size_t>(i - 1)] = destination.first(size);
    at += size;
  }
}

}  // namespace tvx
