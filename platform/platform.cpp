#include "platform/platform.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "platform/platform_state.h"

namespace tvx::platform {
namespace detail {

WindowRecord* Find(WindowId window) {
  auto& windows = Get().windows;
  auto it = windows.find(window);
  return it == windows.end() ? nullptr : &it->second;
}

}  // namespace detail

using detail::Find;
using detail::Get;

void Install(std::unique_ptr<Backend> backend) {
  Uninstall();
  auto& s = Get();
  s.backend = std::move(backend);
}

void Uninstall() {
  auto& s = Get();
  while (!s.windows.empty()) DestroyWindow(s.windows.begin()->first);
  {
    std::lock_guard lock(s.queue_mutex);
    s.queue.clear();
    s.queued = 0;
  }
  if (s.sound_device && s.backend) s.backend->CloseSoundOutput();
  s.sound_device = nullptr;
  s.backend.reset();
  s.next_window = 1;
  s.accelerators.clear();
  s.boxes = {};
  s.boxes_not_kept = 0;
  s.deadline_expired = nullptr;
  s.key_down = {};
  s.key_latch = {};
  s.message_key_down = {};
  s.cursor = {};
  s.cursor_counter = 0;
  s.cursor_shape = {};
  s.cursor_images.clear();
  s.capture = kNoWindow;
  s.focus = kNoWindow;
  s.text_input = false;
}

bool Installed() {
  return Get().backend != nullptr;
}

bool OpenSoundOutput(SoundDevice& device) {
  auto& s = Get();
  if (!s.backend || s.sound_device) return false;
  if (!s.backend->OpenSoundOutput(device)) return false;
  s.sound_device = &device;
  return true;
}

void CloseSoundOutput(SoundDevice& device) {
  auto& s = Get();
  if (s.sound_device != &device) return;
  if (s.backend) s.backend->CloseSoundOutput();
  s.sound_device = nullptr;
}

Backend& CurrentBackend() {
  assert(Get().backend);
  return *Get().backend;
}

// ---- Windows ----

WindowId CreateWindow(const WindowDesc& desc) {
  auto& s = Get();
  if (!s.backend) return kNoWindow;
  const WindowId id = s.next_window++;
  auto [it, inserted] = s.windows.emplace(id, detail::WindowRecord{});
  it->second.desc = desc;
  it->second.framebuffer.Resize(desc.width, desc.height);
  it->second.framebuffer.WatchMarks(&s.present_pending);
  s.present_pending = true;
  if (!s.backend->CreateNativeWindow(id, desc)) {
    s.windows.erase(it);
    return kNoWindow;
  }
  SendMessage(id, Msg::Create);
  return IsWindow(id) ? id : kNoWindow;
}

bool DestroyWindow(WindowId window) {
  auto& s = Get();
  if (!Find(window)) return false;
  // Owned windows go first, as the window manager destroys them with their owner.
  std::vector<WindowId> owned;
  for (auto& [id, record] : s.windows)
    if (record.desc.owner == window) owned.push_back(id);
  for (WindowId id : owned) DestroyWindow(id);
  SendMessage(window, Msg::Destroy);
  if (s.capture == window) ReleaseCapture();
  if (s.focus == window) s.focus = kNoWindow;
  if (s.backend) s.backend->DestroyNativeWindow(window);
  s.windows.erase(window);
  return true;
}

bool IsWindow(WindowId window) {
  return Find(window) != nullptr;
}

void ShowWindow(WindowId window, ShowCommand command) {
  auto* record = Find(window);
  if (!record) return;
  const bool was_minimized = record->minimized;
  switch (command) {
    case ShowCommand::Hide:
      record->visible = false;
      break;
    case ShowCommand::Show:
      record->visible = true;
      break;
    case ShowCommand::Minimize:
      if (was_minimized) return;  // nothing changes: no size message either
      record->visible = true;
      record->minimized = true;
      break;
    case ShowCommand::Restore:
    case ShowCommand::Maximize:
      record->visible = true;
      record->minimized = false;
      break;
  }
  Get().present_pending = true;  // what was kept while hidden can be shown now
  Get().backend->ShowNativeWindow(window, command);
  if (command == ShowCommand::Minimize) {
    SendMessage(window, Msg::Size, kSizeMinimized);
  } else if (was_minimized && !record->minimized) {
    SendMessage(window, Msg::Size,
                command == ShowCommand::Maximize ? kSizeMaximized : kSizeRestored);
    InvalidateRect(window);
  }
}

bool IsMinimized(WindowId window) {
  auto* record = Find(window);
  return record && record->minimized;
}

bool IsVisible(WindowId window) {
  auto* record = Find(window);
  return record && record->visible;
}

Rect WindowRect(WindowId window) {
  auto* record = Find(window);
  if (!record) return {};
  const Point origin = Get().backend->ClientOrigin(window);
  return {origin.x, origin.y, origin.x + record->desc.width, origin.y + record->desc.height};
}

namespace {

FrameInsets FrameInsetsOf(WindowId window, const detail::WindowRecord& record) {
  if (record.desc.style == WindowStyle::Popup) return {};
  const auto frame = Get().backend->FrameOf(window);
  return frame ? *frame : kNominalFrame;
}

}  // namespace

Rect FrameRect(WindowId window) {
  auto* record = Find(window);
  if (!record) return {};
  const Rect client = WindowRect(window);
  const FrameInsets frame = FrameInsetsOf(window, *record);
  return {client.left - frame.left, client.top - frame.top, client.right + frame.right,
          client.bottom + frame.bottom};
}

void MoveWindow(WindowId window, Point frame_origin) {
  auto* record = Find(window);
  if (!record) return;
  const FrameInsets frame = FrameInsetsOf(window, *record);
  Get().backend->MoveNativeWindow(window,
                                  {frame_origin.x + frame.left, frame_origin.y + frame.top});
}

Rect ScreenRect() {
  if (!Get().backend) return {};
  const Point size = Get().backend->ScreenSize();
  return {0, 0, size.x, size.y};
}

// ---- Queue ----

std::optional<Message> PeekMessage(bool remove) {
  auto& s = Get();
  if (s.backend) {
    s.backend->PollEvents();
    PresentDirty();
    if (s.deadline_expired) {
      const uint32_t now = s.backend->TickCount();
      s.deadline_elapsed += static_cast<uint32_t>(now - s.deadline_last_tick);
      s.deadline_last_tick = now;
    }
    if (s.deadline_expired && s.deadline_elapsed >= s.deadline_after) {
      auto expired = std::exchange(s.deadline_expired, nullptr);
      expired(s.deadline_context);
    }
  }
  if (s.queued.load(std::memory_order_acquire) == 0) return std::nullopt;
  Message message;
  {
    std::lock_guard lock(s.queue_mutex);
    if (s.queue.empty()) return std::nullopt;
    message = s.queue.front();
    if (remove) {
      s.queue.pop_front();
      s.queued.fetch_sub(1, std::memory_order_release);
    }
  }
  if (remove) {
    switch (message.kind) {
      case Msg::KeyDown:
      case Msg::SysKeyDown:
        s.message_key_down[message.wparam & 0xFF] = true;
        break;
      case Msg::KeyUp:
      case Msg::SysKeyUp:
        s.message_key_down[message.wparam & 0xFF] = false;
        break;
      default:
        break;
    }
  }
  // Moving the mouse over a window that holds no capture lets it choose its cursor first.
  if (remove && message.kind == Msg::MouseMove && s.capture == kNoWindow)
    SendMessage(message.window, Msg::SetCursor, message.window);
  return message;
}

void PostMessage(WindowId window, Msg kind, uint32_t wparam, int32_t lparam) {
  auto& s = Get();
  std::lock_guard lock(s.queue_mutex);
  s.queue.push_back({window, kind, wparam, lparam});
  s.queued.fetch_add(1, std::memory_order_release);
}

intptr_t SendMessage(WindowId window, Msg kind, uint32_t wparam, int32_t lparam) {
  return DispatchMessage({window, kind, wparam, lparam});
}

intptr_t DispatchMessage(const Message& message) {
  auto* record = Find(message.window);
  if (!record) return 0;
  const WindowProc proc = record->desc.proc;
  if (proc.fn) return proc.fn(proc.context, message);
  return DefaultWindowProc(message);
}

namespace {

// The character a key produces, 0 for none.
uint32_t KeyCharacter(Key key) {
  const auto code = static_cast<uint8_t>(key);
  const bool shift = KeyDownAtMessage(Key::Shift);
  if (code >= 'A' && code <= 'Z') return shift ? code : code + ('a' - 'A');
  if (code >= '0' && code <= '9') return code;
  switch (key) {
    case Key::Enter:
      return '\r';
    case Key::Escape:
      return 0x1B;
    case Key::Space:
      return ' ';
    case Key::Tab:
      return '\t';
    default:
      return 0;
  }
}

}  // namespace

bool TranslateMessage(const Message& message) {
  if (message.kind != Msg::KeyDown && message.kind != Msg::SysKeyDown) return false;
  // Typed text brings its characters itself, in the keyboard layout and input method in use.
  if (Get().text_input && message.kind == Msg::KeyDown) return false;
  const uint32_t ch = KeyCharacter(static_cast<Key>(message.wparam & 0xFF));
  if (ch == 0) return false;
  PostMessage(message.window, message.kind == Msg::KeyDown ? Msg::Char : Msg::SysChar, ch);
  return true;
}

void StartTextInput() {
  auto& s = Get();
  if (s.text_input) return;
  s.text_input = true;
  if (s.backend) s.backend->SetTextInput(true);
}

void StopTextInput() {
  auto& s = Get();
  if (!s.text_input) return;
  s.text_input = false;
  if (s.backend) s.backend->SetTextInput(false);
}

bool TextInputActive() {
  return Get().text_input;
}

void PostQuitMessage(int32_t exit_code) {
  PostMessage(kNoWindow, Msg::Quit, static_cast<uint32_t>(exit_code));
}

size_t QueuedMessageCount() {
  return Get().queued.load();
}

intptr_t DefaultWindowProc(const Message& message) {
  const WindowId window = message.window;
  switch (message.kind) {
    case Msg::SysKeyDown:
      if (static_cast<Key>(message.wparam & 0xFF) == Key::F4 && KeyDownAtMessage(Key::Alt))
        SendMessage(window, Msg::SysCommand, kScClose);
      return 0;
    case Msg::SysCommand:
      switch (message.wparam & 0xFFF0) {
        case kScClose:
          SendMessage(window, Msg::Close);
          break;
        case kScMinimize:
          ShowWindow(window, ShowCommand::Minimize);
          break;
        case kScRestore:
          ShowWindow(window, ShowCommand::Restore);
          break;
        case kScMaximize:
          ShowWindow(window, ShowCommand::Maximize);
          break;
        default:
          break;
      }
      return 0;
    case Msg::Close:
      DestroyWindow(window);
      return 0;
    case Msg::Paint:
      BeginPaint(window);
      return 0;
    case Msg::SetCursor:
      SetCursor({});
      return 1;
    default:
      return 0;
  }
}

// ---- Accelerators ----

void SetAccelerators(std::span<const Accelerator> table) {
  Get().accelerators.assign(table.begin(), table.end());
}

bool TranslateAccelerator(WindowId target, const Message& message) {
  if (message.kind != Msg::KeyDown && message.kind != Msg::SysKeyDown) return false;
  if (!IsWindow(target)) return false;
  uint8_t modifiers = kModNone;
  if (KeyDownAtMessage(Key::Shift)) modifiers |= kModShift;
  if (KeyDownAtMessage(Key::Ctrl)) modifiers |= kModCtrl;
  if (KeyDownAtMessage(Key::Alt)) modifiers |= kModAlt;
  const auto key = static_cast<Key>(message.wparam & 0xFF);
  for (const Accelerator& entry : Get().accelerators) {
    if (entry.key == key && entry.modifiers == modifiers) {
      SendMessage(target, Msg::Command, entry.command | (1u << 16));
      return true;
    }
  }
  return false;
}

// ---- Painting ----

Framebuffer* WindowFramebuffer(WindowId window) {
  auto* record = Find(window);
  return record ? &record->framebuffer : nullptr;
}

void InvalidateRect(WindowId window, std::optional<Rect> rect) {
  auto* record = Find(window);
  if (!record) return;
  const Rect client{0, 0, record->desc.width, record->desc.height};
  record->update = Union(record->update, Intersect(rect.value_or(client), client));
}

void UpdateWindow(WindowId window) {
  auto* record = Find(window);
  if (record && !record->update.Empty()) SendMessage(window, Msg::Paint);
}

Rect BeginPaint(WindowId window) {
  auto* record = Find(window);
  if (!record) return {};
  const Rect update = record->update;
  record->update = {};
  return update;
}

void CopyToWindow(WindowId window, const PixelView& source, const Rect& source_rect, Point dest) {
  auto* record = Find(window);
  if (!record) return;
  record->framebuffer.CopyFrom(source, source_rect, dest.x, dest.y);
}

void SetWindowCovers(WindowId window, std::span<const Rect> covers) {
  if (auto* record = Find(window)) record->framebuffer.SetCovers(covers);
}

void DrawOverWindow(WindowId window, std::span<const uint16_t> top_down, int32_t width,
                    int32_t height, Point at) {
  if (auto* record = Find(window))
    record->framebuffer.DrawOver(top_down, width, height, at.x, at.y);
}

void PresentDirty() {
  auto& s = Get();
  if (!s.present_pending) return;
  s.present_pending = false;
  for (auto& [id, record] : s.windows) {
    // A hidden window keeps what changed until it can be shown.
    if (record.framebuffer.dirty().Empty() || !record.visible || record.minimized) continue;
    s.backend->Present(id, record.framebuffer, record.framebuffer.dirty());
    record.framebuffer.ClearDirty();
  }
}

// ---- Boxes, display, time ----

BoxAnswer MessageBox(WindowId owner, std::string_view caption_gbk, std::string_view text_gbk,
                     BoxButtons buttons) {
  auto& s = Get();
  if (!s.backend) return BoxAnswer::Ok;
  if (!IsWindow(owner)) owner = kNoWindow;
  PresentDirty();
  const uint32_t shown_at = s.backend->TickCount();
  const BoxAnswer answer = s.backend->ShowMessageBox(owner, caption_gbk, text_gbk, buttons);
  if (s.boxes.size() < kKeptBoxes)
    s.boxes.push_back(
        {std::string(caption_gbk), std::string(text_gbk), buttons, answer, shown_at, owner});
  else
    ++s.boxes_not_kept;
  // The box took the input while it was open: keys released there never reached us, so
  // nothing stays down or latched from it.
  s.key_down = {};
  s.key_latch = {};
  s.message_key_down = {};
  return answer;
}

const std::vector<RecordedBox>& ShownBoxes() {
  return Get().boxes;
}

uint64_t BoxesNotKept() {
  return Get().boxes_not_kept;
}

void ForgetShownBoxes() {
  auto& s = Get();
  s.boxes = {};
  s.boxes_not_kept = 0;
}

void SetDeadline(uint64_t tick, void (*expired)(void* context), void* context) {
  auto& s = Get();
  // The ticks from now to `tick`, counted without wrapping; a tick already passed is due at once.
  const uint32_t now = s.backend ? s.backend->TickCount() : 0;
  s.deadline_last_tick = now;
  s.deadline_elapsed = 0;
  s.deadline_after = tick > now ? tick - now : 0;
  s.deadline_expired = expired;
  s.deadline_context = context;
}

bool SetFullscreen(WindowId window, bool fullscreen) {
  if (!IsWindow(window)) return false;
  return Get().backend->SetFullscreen(window, fullscreen);
}

bool SetDesktopFullscreen(WindowId window, bool on) {
  if (!IsWindow(window)) return false;
  return Get().backend->SetDesktopFullscreen(window, on);
}

uint32_t TickCount() {
  return Get().backend ? Get().backend->TickCount() : 0;
}
void Sleep(uint32_t milliseconds) {
  if (Get().backend) Get().backend->Sleep(milliseconds);
}
void IdleWait() {
  if (Get().backend) Get().backend->IdleWait();
}
void IdleWaitForInput() {
  if (Get().backend) Get().backend->IdleWaitForInput();
}
void WakeIdleWait() {
  if (Backend* backend = Get().backend.get()) backend->WakeIdle();
}
void detail::NoteClockPass(uint32_t period_ms) {
  if (Backend* backend = Get().backend.get()) backend->ClockPassed(period_ms);
}
LocalTime Now() {
  return Get().backend ? Get().backend->Now() : LocalTime{};
}

}  // namespace tvx::platform
