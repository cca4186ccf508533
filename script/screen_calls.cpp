#include "script/screen_calls.h"

#include <algorithm>
#include <cstdint>

#include "graphics/graphics_engine.h"
#include "graphics/transitions.h"
#include "graphics/vram_plane_set.h"
#include "platform/platform.h"
#include "script/animation_table.h"
#include "script/player_input.h"
#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

constexpr uint16_t kWidth = VramPlaneSet::kScreenWidth;
constexpr uint16_t kHeight = VramPlaneSet::kScreenHeight;
constexpr blit::Rect16 kWholeScreen{0, 0, kWidth, kHeight};

void CopyPlane(VramPlaneSet& planes, const VramPlane& from, VramPlane& to) {
  std::lock_guard lock(planes.pixelLock());
  blit::CopyRect(from, kWholeScreen, to, 0, 0);
}

int Int(uint32_t value) {
  return static_cast<int>(value & 0xFFFF);
}

void PresentAll(VramPlaneSet& planes) {
  planes.PresentRect(0, 0, kWidth, kHeight);
}

}  // namespace

// EFFECT 8: blends two planes' pixel memory into a third, one level after another.
void CrossFadeMemoryEffect(ScriptInterpreter& interpreter, const ParamList& p) {
  VramPlaneSet& planes = interpreter.planes();
  const uint32_t columns = p.Value(3), rows = p.Value(4);
  // Levels beyond 31 would outweigh the whole; the blend counts in 31sts.
  const uint32_t last = std::min<uint32_t>(p.Value(13), 32);
  for (uint32_t level = p.Value(12); level < last; ++level) {
    {
      std::lock_guard lock(planes.pixelLock());
      transition::BlendMemoryBlock(planes.Get(p.Value(5)), planes.Get(p.Value(8)),
                                   planes.Get(p.Value(11)), columns, rows, level);
    }
    // Memory rows are bottom-up: the block lies at the bottom left of the screen.
    const int w = static_cast<int>(std::min<uint32_t>(columns, kWidth));
    const int h = static_cast<int>(std::min<uint32_t>(rows, kHeight));
    planes.PresentRect(0, kHeight - h, w, h);
  }
}

// EFFECT 10: the thirteen pictures of EFFECT 9, each blended in over 12 ticks while the
// next one is decoded into the other of planes 3 and 4.
void ShowThirteenPicturesEffect(ScriptInterpreter& interpreter, const ParamList&) {
  VramPlaneSet& planes = interpreter.planes();
  GraphicsEngine& graphics = interpreter.graphics();
  constexpr uint32_t kSteps = 12;
  const auto& pictures = interpreter.thirteenPictures;
  if (pictures[0].empty()) return;
  VramPlane* decoded = &planes.Get(3);
  VramPlane* other = &planes.Get(4);
  graphics.LoadPicture(pictures[0], *decoded);
  for (size_t i = 1; i <= pictures.size(); ++i) {
    graphics.WaitFade();
    graphics.StartBlendFade(*decoded, planes.Get(0), kSteps);
    if (i == pictures.size() || pictures[i].empty()) break;
    std::swap(decoded, other);
    graphics.LoadPicture(pictures[i], *decoded);
  }
  graphics.WaitFade();
}

// EFFECT 13: a panel from plane 1 scrolls up into the middle of the screen over plane 3,
// fading in at its top edge and out at its bottom edge, one step every 48 ms.
void ScrollingPanelEffect(ScriptInterpreter& interpreter, const ParamList& p) {
  VramPlaneSet& planes = interpreter.planes();
  ScriptHost& host = interpreter.host();
  constexpr uint32_t kStepMs = 48;
  constexpr blit::Rect16 kPanel{140, 160, 360, 160};
  const uint16_t key = interpreter.variables().Word(kWordKeyColour);
  uint32_t previous = platform::TickCount();
  for (uint32_t i = 1; i <= p.Value(1); ++i) {
    // Pumps at least once a step, so that a quitting program is noticed even under Shift.
    bool pumped = false;
    const bool going_on = WaitUntil(host, [&] {
      if (!pumped) {
        pumped = true;
        return false;
      }
      return platform::TickCount() - previous >= kStepMs || host.QueryInput(kShift);
    });
    if (!going_on) return;
    previous = platform::TickCount();
    {
      std::lock_guard lock(planes.pixelLock());
      VramPlane& background = planes.Get(3);
      VramPlane& panel = planes.Get(4);
      blit::CopyRect(background, kPanel, panel, kPanel.x, kPanel.y);
      const int64_t step = i;
      const blit::Rect16 source{140, static_cast<uint32_t>(std::max<int64_t>(step - 161, 0)), 360,
                                std::min<uint32_t>(i, 160)};
      blit::CopyRectKeyed(planes.Get(1), source, panel, 140,
                          static_cast<uint32_t>(std::max<int64_t>(320 - step, 160)), key);
      transition::BlendPanel(panel, background, planes.Get(0), kPanel);
    }
    planes.PresentRect(kPanel.x, 0, kPanel.w, kHeight);
  }
}

void ScreenUpdateCall(ScriptInterpreter& interpreter, const ParamList& p) {
  VramPlaneSet& planes = interpreter.planes();
  GraphicsEngine& graphics = interpreter.graphics();
  graphics.WaitFade();
  // Slots would draw into the screen being changed: they stop, showing their first frames.
  if (AnimationTable* animations = interpreter.animations()) animations->StopAll();
  const bool coloured = p.count >= 2;
  const auto colour = static_cast<uint16_t>(p.Value(1));
  // The fade and the dissolve keep the old screen in the work plane and go to a colour
  // through the spare plane.
  auto prepare = [&] {
    planes.SetRedirect(false);
    CopyPlane(planes, planes.Plane0(), planes.Work());
    if (!coloured) return;
    {
      std::lock_guard lock(planes.pixelLock());
      blit::FillRect(planes.Spare(), kWholeScreen, colour);
    }
    planes.SetRedirect(true);
  };
  switch (p.Value(0)) {
    case 0:  // show what was drawn while redirected
      if (!planes.redirect() && !coloured) return;
      planes.SetRedirect(coloured);
      CopyPlane(planes, planes.Spare(), planes.Plane0());
      PresentAll(planes);
      return;
    case 1:
      prepare();
      graphics.RunChannelFade(planes.Spare(), planes.Plane0(), coloured && colour == 0);
      CopyPlane(planes, planes.Spare(), planes.Plane0());
      CopyPlane(planes, planes.Work(), planes.Spare());
      PresentAll(planes);
      return;
    case 2:
      prepare();
      graphics.Dissolve(planes.Spare(), kWholeScreen, planes.Plane0(), 0, 0);
      CopyPlane(planes, planes.Work(), planes.Spare());
      return;
    default:
      return;
  }
}

void OverlayCall(ScriptInterpreter& interpreter, const ParamList& p) {
  VramPlaneSet& planes = interpreter.planes();
  switch (p.Value(0)) {
    case 0: {
      Overlay overlay;
      overlay.x = p.Value(1);
      overlay.y = p.Value(2);
      overlay.width = p.Value(3);
      overlay.height = p.Value(4);
      overlay.plane = p.Value(5);
      overlay.bx = p.Value(6);
      overlay.by = p.Value(7);
      overlay.background = p.Value(8);
      overlay.screenX = p.Value(9);
      overlay.screenY = p.Value(10);
      planes.SetOverlay(overlay);
      planes.SetOverlayActive(true);
      planes.PresentRect(Int(overlay.screenX), Int(overlay.screenY), Int(overlay.width),
                         Int(overlay.height));
      return;
    }
    case 1:
      planes.SetOverlayActive(false);
      return;
    case 2: {
      // The composition the presentation makes, asked for by the script: into the work plane.
      std::lock_guard lock(planes.pixelLock());
      planes.DrawOverlay(planes.Work());
      return;
    }
    case 3:
      planes.SetOverlayActive(false);
      planes.PresentRect(Int(p.Value(1)), Int(p.Value(2)), Int(p.Value(3)), Int(p.Value(4)));
      return;
    default:
      return;
  }
}

}  // namespace tvx
