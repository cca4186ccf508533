#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/file.h"
#include "platform/input_sink.h"
#include "platform/platform.h"
#include "platform/sound_device.h"
#include "resources/byte_order.h"
#include "resources/gbk.h"

namespace tvx::platform {

namespace {
constexpr uint64_t kYieldMicros = 10;
constexpr uint64_t kIdleMicros = 1000;

// The first time, in microseconds, at which the frames due (now_us * kRate / 1000000) number
// more than `frame`.
uint64_t FrameDueMicros(uint64_t frame) {
  return ((frame + 1) * 1000000 + SoundDevice::kRate - 1) / SoundDevice::kRate;
}

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
    case K::MenuCommand:
      input::MenuCommand(main, event.command);
      break;
    case K::Type:
      input::Text(gbk::FromUtf8(event.text));
      break;
  }
}

uint64_t HeadlessBackend::NextTaskMicros() const {
  uint64_t next = UINT64_MAX;
  for (const auto& task : periodic_) next = std::min(next, task.next_us);
  return next;
}

void HeadlessBackend::AdvanceTo(uint64_t target) {
  // Most steps are short and cross no pass.
  if (target >= next_task_us_) {
    for (;;) {
      // The earliest pass due by the target (the first registered wins a tie).
      Periodic* due = nullptr;
      for (auto& task : periodic_)
        if (task.next_us <= target && (!due || task.next_us < due->next_us)) due = &task;
      if (!due) break;
      now_us_ = std::max(now_us_, due->next_us);
      MixSound();
      due->next_us += due->period_us;
      auto body = due->body;  // the body may remove its own task
      body();
    }
    next_task_us_ = NextTaskMicros();
  }
  now_us_ = std::max(now_us_, target);
  MixSound();
}

void HeadlessBackend::MixSound() {
  // Time moves on in steps far shorter than a frame: most steps have nothing to mix.
  if (now_us_ < next_frame_us_) return;
  const uint64_t target = now_us_ * SoundDevice::kRate / 1000000;
  const uint64_t limit = uint64_t{record_limit_seconds_} * SoundDevice::kRate;
  if (!sound_) {
    mixed_frames_ = target;
    next_frame_us_ = FrameDueMicros(mixed_frames_);
    return;
  }
  std::array<int16_t, 1024 * SoundDevice::kOutputChannels> chunk;
  while (mixed_frames_ < target) {
    const size_t frames = static_cast<size_t>(std::min<uint64_t>(target - mixed_frames_, 1024));
    const auto out = std::span(chunk).first(frames * SoundDevice::kOutputChannels);
    sound_->Render(out);
    // Frames past the limit are still mixed, so that the cursors keep moving.
    const uint64_t keep =
        mixed_frames_ < limit ? std::min<uint64_t>(limit - mixed_frames_, frames) : 0;
    const size_t kept = static_cast<size_t>(keep) * SoundDevice::kOutputChannels;
    const size_t at = recorded_.size();
    recorded_.resize(at + kept);
    if (kept > 0) std::memcpy(recorded_.data() + at, out.data(), kept * sizeof(int16_t));
    mixed_frames_ += frames;
  }
  next_frame_us_ = FrameDueMicros(mixed_frames_);
}

bool HeadlessBackend::OpenSoundOutput(SoundDevice& device) {
  MixSound();
  // The recording starts at virtual time 0: silence until the device was connected.
  const uint64_t limit = uint64_t{record_limit_seconds_} * SoundDevice::kRate;
  const size_t wanted =
      static_cast<size_t>(std::min(mixed_frames_, limit) * SoundDevice::kOutputChannels);
  if (recorded_.size() < wanted) recorded_.resize(wanted, 0);
  sound_ = &device;
  return true;
}

void HeadlessBackend::CloseSoundOutput() {
  MixSound();
  sound_ = nullptr;
}

std::span<const int16_t> HeadlessBackend::RecordedSound() {
  MixSound();
  return recorded_;
}

bool HeadlessBackend::WriteRecordedSound(const std::string& path) {
  const auto samples = RecordedSound();
  const auto data_bytes = static_cast<uint32_t>(samples.size() * 2);
  constexpr size_t kHeader = 44;
  std::vector<uint8_t> file(kHeader + data_bytes);
  const std::span<uint8_t> out(file);
  std::memcpy(file.data(), "RIFF", 4);
  bytes::StoreLe32(out, 4, 36 + data_bytes);
  std::memcpy(file.data() + 8, "WAVEfmt ", 8);
  bytes::StoreLe32(out, 16, 16);
  bytes::StoreLe16(out, 20, 1);  // PCM
  bytes::StoreLe16(out, 22, SoundDevice::kOutputChannels);
  bytes::StoreLe32(out, 24, SoundDevice::kRate);
  bytes::StoreLe32(out, 28, SoundDevice::kRate * 4);
  bytes::StoreLe16(out, 32, 4);
  bytes::StoreLe16(out, 34, 16);
  std::memcpy(file.data() + 36, "data", 4);
  bytes::StoreLe32(out, 40, data_bytes);
  for (size_t i = 0; i < samples.size(); ++i)
    bytes::StoreLe16(out, kHeader + 2 * i, static_cast<uint16_t>(samples[i]));
  return WriteFileAtomically(path, file);
}

void HeadlessBackend::Sleep(uint32_t milliseconds) {
  AdvanceTo(now_us_ + (milliseconds == 0 ? kYieldMicros : uint64_t{milliseconds} * 1000));
}

void HeadlessBackend::IdleWait() {
  // Rest until the next thing that can happen: an input event or a periodic pass.
  const uint64_t next = std::min(NextEventMicros(), NextTaskMicros());
  AdvanceTo(std::max(now_us_ + 1, std::min(now_us_ + kIdleMicros, next)));
}

int HeadlessBackend::AddPeriodic(uint32_t period_ms, std::function<void()> body) {
  const uint64_t period = uint64_t{period_ms} * 1000;
  // The first pass runs at once, as a started thread's would.
  periodic_.push_back({next_periodic_id_, period, now_us_, std::move(body)});
  next_task_us_ = std::min(next_task_us_, now_us_);
  return next_periodic_id_++;
}

void HeadlessBackend::RemovePeriodic(int id) {
  std::erase_if(periodic_, [id](const Periodic& task) { return task.id == id; });
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
  if (desc.owner != kNoWindow) owners_[id] = desc.owner;
  // The first top-level window has the keyboard, as a newly started program does.
  if (desc.owner == kNoWindow && FocusWindow() == kNoWindow) input::Focus(id, true);
  return true;
}

void HeadlessBackend::DestroyNativeWindow(WindowId id) {
  origins_.erase(id);
  owners_.erase(id);
}

void HeadlessBackend::ShowNativeWindow(WindowId id, ShowCommand command) {
  if (command == ShowCommand::Restore || command == ShowCommand::Show) input::Focus(id, true);
  // A window that hides while it has the keyboard hands it back to its owner, as a window
  // manager would.
  if (command == ShowCommand::Hide && FocusWindow() == id) {
    const auto owner = owners_.find(id);
    if (owner != owners_.end()) input::Focus(owner->second, true);
  }
}

bool HeadlessBackend::SetFullscreen(WindowId, bool fullscreen) {
  if (fullscreen && fullscreen_fails_) return false;
  fullscreen_ = fullscreen;
  return true;
}

bool HeadlessBackend::SetDesktopFullscreen(WindowId, bool on) {
  desktop_fullscreen_ = on;
  return true;
}

void HeadlessBackend::Present(WindowId, const Framebuffer&, const Rect&) {
  ++present_count_;
}

bool HeadlessBackend::RegisterCursorImage(uint16_t id, const CursorImage& image) {
  const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  cursor_images_[id] = {std::vector<uint32_t>(image.argb.begin(), image.argb.begin() + count),
                        image.width, image.height, image.hotspot};
  return true;
}

const HeadlessBackend::CursorRecord* HeadlessBackend::cursor_image(uint16_t id) const {
  auto it = cursor_images_.find(id);
  return it == cursor_images_.end() ? nullptr : &it->second;
}

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
