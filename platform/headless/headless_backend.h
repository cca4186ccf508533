// A backend without a window: a virtual clock that only the pump advances, input from a
// script of timed events, message boxes answered as scripted and recorded.
//
// The screen is 1024 × 768 pixels, and decorated windows wear the platform's nominal frame
// (kNominalFrame): there is no window system to tell otherwise.
//
// Virtual time: every pass that gives up the processor (a 0 ms sleep) costs 10 us, a sleep
// of n ms costs n ms, and a wait for the player (IdleWait) moves on by 1 ms or to the next
// scripted event, whichever comes first. Runs are therefore reproducible to the microsecond.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/event_script.h"
#include "platform/platform.h"

namespace tvx::platform {

class HeadlessBackend : public Backend {
 public:
  explicit HeadlessBackend(std::vector<ScriptedEvent> events = {});

  // Virtual time in microseconds.
  uint64_t NowMicros() const { return now_us_; }
  void AdvanceMicros(uint64_t micros) { AdvanceTo(now_us_ + micros); }
  // Every box shown since the platform was installed.
  const std::vector<RecordedBox>& boxes() const { return ShownBoxes(); }
  bool fullscreen() const { return fullscreen_; }
  // The window covers the desktop (the windowed program's full screen).
  bool desktop_fullscreen() const { return desktop_fullscreen_; }
  int present_count() const { return present_count_; }
  bool cursor_visible() const { return cursor_visible_; }
  CursorShape cursor_shape() const { return cursor_shape_; }
  // A copy of a registered cursor picture.
  struct CursorRecord {
    std::vector<uint32_t> argb;
    int32_t width = 0;
    int32_t height = 0;
    Point hotspot;
  };
  // The picture registered for cursor resource `id`, null when there is none.
  const CursorRecord* cursor_image(uint16_t id) const;
  bool mouse_captured() const { return captured_; }
  size_t pending_events() const { return events_.size() - next_event_; }
  // Makes the display refuse to switch to full screen, as a machine without that mode would.
  void set_fullscreen_fails(bool fails) { fullscreen_fails_ = fails; }

  void PollEvents() override;
  uint32_t TickCount() override { return static_cast<uint32_t>(now_us_ / 1000); }
  void Sleep(uint32_t milliseconds) override;
  void IdleWait() override;
  LocalTime Now() override;

  bool CreateNativeWindow(WindowId id, const WindowDesc& desc) override;
  void DestroyNativeWindow(WindowId id) override;
  void ShowNativeWindow(WindowId id, ShowCommand command) override;
  bool SetFullscreen(WindowId id, bool fullscreen) override;
  bool SetDesktopFullscreen(WindowId id, bool on) override;
  void Present(WindowId id, const Framebuffer& framebuffer, const Rect& dirty) override;
  void SetCursorVisible(bool visible) override { cursor_visible_ = visible; }
  bool RegisterCursorImage(uint16_t id, const CursorImage& image) override;
  void SetCursorShape(CursorShape shape) override { cursor_shape_ = shape; }
  void WarpCursor(Point) override {}
  void SetMouseCapture(bool captured) override { captured_ = captured; }
  Point ClientOrigin(WindowId id) override;
  void MoveNativeWindow(WindowId id, Point client_origin) override { origins_[id] = client_origin; }
  std::optional<FrameInsets> FrameOf(WindowId) override { return std::nullopt; }
  Point ScreenSize() override { return kScreenSize; }
  static constexpr Point kScreenSize{1024, 768};
  BoxAnswer ShowMessageBox(WindowId owner, std::string_view caption_gbk, std::string_view text_gbk,
                           BoxButtons buttons) override;
  int AddPeriodic(uint32_t period_ms, std::function<void()> body) override;
  void RemovePeriodic(int id) override;
  bool OpenSoundOutput(SoundDevice& device) override;
  void CloseSoundOutput() override;

  // Everything the sound output mixed, from virtual time 0 up to now (silence before the
  // device was connected): 22050 Hz stereo frames, left and right interleaved. The
  // recording keeps the first `record_limit_seconds` only.
  std::span<const int16_t> RecordedSound();
  void set_record_limit_seconds(uint32_t seconds) { record_limit_seconds_ = seconds; }
  // The recording as a 16-bit stereo WAV file; false when it cannot be written.
  bool WriteRecordedSound(const std::string& path);

 private:
  void Apply(const ScriptedEvent& event);
  uint64_t NextEventMicros() const;
  uint64_t NextTaskMicros() const;
  // Moves the clock to `target`, running every periodic pass due on the way at its time.
  void AdvanceTo(uint64_t target);
  // Mixes the sound output up to the present virtual time.
  void MixSound();

  struct Periodic {
    int id;
    uint64_t period_us;
    uint64_t next_us;
    std::function<void()> body;
  };
  std::vector<Periodic> periodic_;
  int next_periodic_id_ = 0;
  uint64_t next_task_us_ = 0;  // no pass is due before this (none is missed when it is early)

  SoundDevice* sound_ = nullptr;
  uint64_t mixed_frames_ = 0;
  uint64_t next_frame_us_ = 0;  // when the frame after the mixed ones is due
  std::vector<int16_t> recorded_;
  uint32_t record_limit_seconds_ = 600;

  std::vector<ScriptedEvent> events_;
  size_t next_event_ = 0;
  std::vector<ScriptedEvent> answers_;  // pending box answers, in time order
  uint64_t now_us_ = 0;
  std::map<WindowId, Point> origins_;
  std::map<WindowId, WindowId> owners_;  // of the windows that have one
  bool fullscreen_ = false;
  bool fullscreen_fails_ = false;
  bool desktop_fullscreen_ = false;
  bool cursor_visible_ = true;
  CursorShape cursor_shape_;
  std::map<uint16_t, CursorRecord> cursor_images_;
  bool captured_ = false;
  int present_count_ = 0;
};

}  // namespace tvx::platform
