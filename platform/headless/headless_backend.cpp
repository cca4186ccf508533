#include "platform/headless/headless_backend.h"

#include <algorithm>

#include "platform/input_sink.h"
#include "platform/platform.h"

namespace tvx::platform {

namespace {
constexpr uint64_t kYieldMicros = 10;
constexpr uint64_t kIdleMicros = 1000;
}  // namespace

HeadlessBackend::HeadlessBackend(std::vector<ScriptedEvent> events) : events_(std::move(events)) {
  std::stable_sort(events_.begin(), events_.end(),
                   [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.time < b.time; });
}

uint64_t HeadlessBackend::NextEventMicros() const {
  return next_event_ < events_.size() ? uint64_t{events_[next_event_].time} * 1000 : UINT64_MAX;
}

void HeadlessBackend::PollEvents() {
  while (next_event_ < events_.size() && uint64_t{events_[next_event_].time} * 1000 <= now_us_)
    Apply(events_[next_event_++]);
}

void HeadlessBackend::Apply(const ScriptedEvent& event) {
  using K = ScriptedEvent::Kind;
  const WindowId main = input::MainTarget();
  switch (event.kind) {
    case K::KeyDown:
    case K::KeyUp:
      input::Key(event.key, event.kind == K::KeyDown);
      break;
    case K::MouseMove:
      input::MouseMove(main, {event.x, event.y});
      break;
    case K::MouseDown:
    case K::MouseUp:
      input::MouseButton(main, event.left, event.kind == K::MouseDown);
      break;
    case K::Wheel:
      input::Wheel(main, event.delta);
      break;
    case K::FocusLost:
    case K::FocusGained:
      input::Focus(main, event.kind == K::FocusGained);
      break;
    case K::Close:
      input::SystemCommand(main, kScClose);
      break;
    case K::Minimize:
      input::SystemCommand(main, kScMinimize);
      break;
    case K::Restore:
      input::SystemCommand(main, kScRestore);
      break;
    case K::Answer:
      answers_.push_back(event);
      break;
  }
}

void HeadlessBackend::Sleep(uint32_t milliseconds) {
  now_us_ += milliseconds == 0 ? kYieldMicros : uint64_t{milliseconds} * 1000;
}

void HeadlessBackend::IdleWait() {
  const uint64_t next = NextEventMicros();
  now_us_ = std::max(now_us_ + 1, std::min(now_us_ + kIdleMicros, next));
}

LocalTime HeadlessBackend::Now() {
  // A fixed date, moved on by virtual time, keeps runs reproducible.
  LocalTime t{2000, 1, 1, 6, 12, 0, 0, 0};
  const uint64_t ms = now_us_ / 1000;
  t.millisecond = static_cast<int>(ms % 1000);
  t.second = static_cast<int>((ms / 1000) % 60);
  t.minute = static_cast<int>((ms / 60000) % 60);
  t.hour = 12 + static_cast<int>((ms / 3600000) % 12);
  return t;
}

bool HeadlessBackend::CreateNativeWindow(WindowId id, const WindowDesc& desc) {
  origins_[id] = {desc.x, desc.y};
  // The first top-level window has the keyboard, as a newly started program does.
  if (desc.owner == kNoWindow && FocusWindow() == kNoWindow) input::Focus(id, true);
  return true;
}

void HeadlessBackend::DestroyNativeWindow(WindowId id) { origins_.erase(id); }

void HeadlessBackend::ShowNativeWindow(WindowId id, ShowCommand command) {
  if (command == ShowCommand::Restore || command == ShowCommand::Show) input::Focus(id, true);
}

bool HeadlessBackend::SetFullscreen(WindowId, bool fullscreen) {
  if (fullscreen && fullscreen_fails_) return false;
  fullscreen_ = fullscreen;
  return true;
}

void HeadlessBackend::Present(WindowId, const Framebuffer&, const Rect&) { ++present_count_; }

Point HeadlessBackend::ClientOrigin(WindowId id) {
  auto it = origins_.find(id);
  return it == origins_.end() ? Point{} : it->second;
}

BoxAnswer HeadlessBackend::ShowMessageBox(WindowId, std::string_view, std::string_view,
                                          BoxButtons buttons) {
  // Answers that became due before the box opened are taken first come, first served.
  PollEvents();
  BoxAnswer answer = BoxAnswer::Ok;
  if (!answers_.empty()) {
    answer = answers_.front().answer;
    answers_.erase(answers_.begin());
  }
  if (buttons == BoxButtons::Ok) answer = BoxAnswer::Ok;
  return answer;
}

}  // namespace tvx::platform
