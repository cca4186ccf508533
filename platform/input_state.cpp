// Key, mouse, cursor and focus state, and the entry points through which backends report
// input (input_sink.h).
#include <algorithm>

#include "platform/input_sink.h"
#include "platform/platform.h"
#include "platform/platform_state.h"

namespace tvx::platform {

using detail::Find;
using detail::Get;

namespace {

size_t KeyIndex(Key key) { return static_cast<uint8_t>(key); }

// Mouse buttons share the key state table under their usual codes.
constexpr uint8_t kLeftButtonKey = 0x01;
constexpr uint8_t kRightButtonKey = 0x02;

WindowId KeyboardTarget() {
  auto& s = Get();
  if (Find(s.focus)) return s.focus;
  return input::MainTarget();
}

}  // namespace

bool IsKeyDown(Key key) { return Get().key_down[KeyIndex(key)]; }
bool KeyDownAtMessage(Key key) { return Get().message_key_down[KeyIndex(key)]; }

bool AsyncKeyState(Key key) {
  auto& s = Get();
  const size_t i = KeyIndex(key);
  const bool result = s.key_down[i] || s.key_latch[i];
  s.key_latch[i] = false;
  return result;
}

Point CursorPos() { return Get().cursor; }

Point ScreenToClient(WindowId window, Point screen) {
  if (!Find(window)) return screen;
  const Point origin = Get().backend->ClientOrigin(window);
  return {screen.x - origin.x, screen.y - origin.y};
}

void SetCursorPos(Point screen) {
  auto& s = Get();
  const bool moved = !(s.cursor == screen);
  s.cursor = screen;
  if (!s.backend) return;
  s.backend->WarpCursor(screen);
  // Moving the pointer somewhere new is a mouse movement like any other.
  if (moved) {
    const WindowId target = s.capture != kNoWindow ? s.capture : input::MainTarget();
    if (Find(target)) {
      const Point client = ScreenToClient(target, screen);
      PostMessage(target, Msg::MouseMove, 0, PackPoint(client.x, client.y));
    }
  }
}

int ShowCursor(bool show) {
  auto& s = Get();
  const bool was_visible = s.cursor_counter >= 0;
  s.cursor_counter += show ? 1 : -1;
  const bool visible = s.cursor_counter >= 0;
  if (visible != was_visible && s.backend) s.backend->SetCursorVisible(visible);
  return s.cursor_counter;
}

int CursorCounter() { return Get().cursor_counter; }

void SetCursor(CursorShape shape) {
  auto& s = Get();
  if (shape.resource != 0 && !s.cursor_images.contains(shape.resource)) shape = {};
  if (s.cursor_shape == shape) return;
  s.cursor_shape = shape;
  if (s.backend) s.backend->SetCursorShape(shape);
}

CursorShape CurrentCursor() { return Get().cursor_shape; }

bool RegisterCursorImage(uint16_t id, const CursorImage& image) {
  auto& s = Get();
  if (!s.backend || id == 0 || image.width <= 0 || image.height <= 0) return false;
  if (image.argb.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
    return false;
  if (image.hotspot.x < 0 || image.hotspot.x >= image.width || image.hotspot.y < 0 ||
      image.hotspot.y >= image.height)
    return false;
  if (!s.backend->RegisterCursorImage(id, image)) return false;
  s.cursor_images.insert(id);
  return true;
}

bool HasCursorImage(uint16_t id) { return Get().cursor_images.contains(id); }

WindowId SetCapture(WindowId window) {
  auto& s = Get();
  const WindowId previous = s.capture;
  if (!Find(window)) return previous;
  s.capture = window;
  if (s.backend) s.backend->SetMouseCapture(true);
  return previous;
}

void ReleaseCapture() {
  auto& s = Get();
  if (s.capture == kNoWindow) return;
  s.capture = kNoWindow;
  if (s.backend) s.backend->SetMouseCapture(false);
}

WindowId Capture() { return Get().capture; }
WindowId FocusWindow() { return Get().focus; }

bool HasActiveWindow() {
  auto* record = Find(Get().focus);
  return record && !record->minimized;
}

namespace input {

WindowId MainTarget() {
  // The first top-level window that is still there.
  for (auto& [id, record] : Get().windows)
    if (record.desc.owner == kNoWindow) return id;
  return kNoWindow;
}

void Key(tvx::platform::Key key, bool down) {
  auto& s = Get();
  const size_t i = KeyIndex(key);
  if (key == tvx::platform::Key::None) return;
  s.key_down[i] = down;
  if (down) s.key_latch[i] = true;
  const bool system = key == tvx::platform::Key::Alt || key == tvx::platform::Key::F10 ||
                      s.key_down[KeyIndex(tvx::platform::Key::Alt)];
  Msg kind;
  if (system)
    kind = down ? Msg::SysKeyDown : Msg::SysKeyUp;
  else
    kind = down ? Msg::KeyDown : Msg::KeyUp;
  const WindowId target = KeyboardTarget();
  if (target != kNoWindow) PostMessage(target, kind, static_cast<uint32_t>(key));
}

void Text(std::string_view gbk) {
  const WindowId target = KeyboardTarget();
  if (target == kNoWindow) return;
  for (size_t i = 0; i < gbk.size();) {
    const auto lead = static_cast<uint8_t>(gbk[i]);
    if (lead < 0x80) {
      if (lead >= 0x20 && lead != 0x7F) PostMessage(target, Msg::Char, lead);
      ++i;
      continue;
    }
    const auto trail = i + 1 < gbk.size() ? static_cast<uint8_t>(gbk[i + 1]) : 0;
    if (lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
      PostMessage(target, Msg::Char, uint32_t{lead} << 8 | trail);
      i += 2;
    } else {
      ++i;
    }
  }
}

void MouseMove(WindowId window, Point client) {
  auto& s = Get();
  if (!Find(window)) return;
  const Point origin = s.backend->ClientOrigin(window);
  s.cursor = {origin.x + client.x, origin.y + client.y};
  WindowId target = window;
  if (Find(s.capture)) {
    target = s.capture;
    client = ScreenToClient(target, s.cursor);
  }
  PostMessage(target, Msg::MouseMove, 0, PackPoint(client.x, client.y));
}

void MouseButton(WindowId window, bool left, bool down) {
  auto& s = Get();
  if (!Find(window)) return;
  const uint8_t code = left ? kLeftButtonKey : kRightButtonKey;
  s.key_down[code] = down;
  if (down) s.key_latch[code] = true;
  const WindowId target = Find(s.capture) ? s.capture : window;
  const Point client = ScreenToClient(target, s.cursor);
  Msg kind = left ? (down ? Msg::LButtonDown : Msg::LButtonUp)
                  : (down ? Msg::RButtonDown : Msg::RButtonUp);
  PostMessage(target, kind, 0, PackPoint(client.x, client.y));
}

void Wheel(WindowId window, int delta) {
  const WindowId target = Find(Get().focus) ? Get().focus : window;
  if (!Find(target)) return;
  const auto word = static_cast<uint16_t>(static_cast<int16_t>(std::clamp(delta, -32768, 32767)));
  const Point client = ScreenToClient(target, Get().cursor);
  PostMessage(target, Msg::MouseWheel, static_cast<uint32_t>(word) << 16,
              PackPoint(client.x, client.y));
}

void Focus(WindowId window, bool gained) {
  auto& s = Get();
  if (!Find(window)) return;
  if (gained) {
    if (s.focus == window) return;
    s.focus = window;
    PostMessage(window, Msg::SetFocus);
  } else {
    if (s.focus != window) return;
    s.focus = kNoWindow;
    // Keys released while another program has the keyboard never reach us.
    s.key_down.fill(false);
    s.message_key_down.fill(false);
    PostMessage(window, Msg::KillFocus);
  }
}

void SystemCommand(WindowId window, uint32_t command) {
  if (Find(window)) PostMessage(window, Msg::SysCommand, command);
}

void MenuCommand(WindowId window, uint16_t command) {
  if (Find(window)) PostMessage(window, Msg::Command, command, kChosenInMenu);
}

void Minimized(WindowId window, bool minimized) {
  auto* record = Find(window);
  if (!record) return;
  if (minimized) {
    if (record->minimized) return;
    record->minimized = true;
    PostMessage(window, Msg::Size, kSizeMinimized);
  } else if (record->minimized) {
    // Coming back from the task bar goes through the restore command, as it would when
    // the window manager asks the window itself.
    PostMessage(window, Msg::SysCommand, kScRestore);
  }
}

void Exposed(WindowId window) {
  if (auto* record = Find(window)) {
    record->framebuffer.MarkDirty({0, 0, record->desc.width, record->desc.height});
  }
}

}  // namespace input
}  // namespace tvx::platform
