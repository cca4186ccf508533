// The backends of a `run`, with two additions for the dumps. Calls back at set times, at the
// first look at the message queue at or after each (the moments at which scripted input and
// the time limit take effect too), and keeps the last picture of every top-level window that
// closes, since the main window is gone by the time a finished run is dumped.
//
// A headless run gets a HeadlessBackend with these hooks (so that whatever looks for the
// headless backend finds it); a windowed run gets its backend wrapped, every call passed on.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "platform/backend.h"
#include "platform/framebuffer.h"
#include "platform/headless/headless_backend.h"

namespace tvx::tool {

class DumpHooks {
 public:
  // `at_time(ms)` runs once for each of `times` (TickCount milliseconds, any order).
  DumpHooks(std::vector<uint32_t> times, std::function<void(uint32_t ms)> at_time);

  // After the backend took in its events: the calls that are due at `now_ms`, and the end of
  // the real time, once it has come.
  void AfterPoll(uint32_t now_ms);
  // Calls `expired` once, at the first look at the queue `seconds` of real time from now.
  void SetRealTimeLimit(uint32_t seconds, std::function<void()> expired);
  void WindowCreated(platform::WindowId id, const platform::WindowDesc& desc);
  // Before the backend's window goes, while the platform still holds its picture.
  void WindowClosing(platform::WindowId id);

  // The times that have not come yet.
  std::vector<uint32_t> pendingTimes() const;
  // The window's picture: live while it stands, then as it was when it closed; null when
  // there never was such a window.
  const platform::Framebuffer* Screen(platform::WindowId id) const;

 private:
  std::vector<uint32_t> times_;  // ascending
  size_t next_time_ = 0;
  std::function<void(uint32_t)> at_time_;
  std::optional<std::chrono::steady_clock::time_point> real_time_end_;
  std::function<void()> real_time_expired_;
  std::vector<platform::WindowId> top_level_;  // standing windows without an owner
  std::map<platform::WindowId, platform::Framebuffer> closed_;
};

// Every message box is also written to `box_log` as it is shown, one line each:
// `talvex-tool run: box "CAPTION": TEXT` in UTF-8, line breaks of the text as spaces.
class HeadlessRunBackend final : public platform::HeadlessBackend {
 public:
  HeadlessRunBackend(std::vector<platform::ScriptedEvent> events, DumpHooks& hooks,
                     std::ostream& box_log)
      : HeadlessBackend(std::move(events)), hooks_(hooks), box_log_(box_log) {}

  void PollEvents() override;
  bool CreateNativeWindow(platform::WindowId id, const platform::WindowDesc& desc) override;
  void DestroyNativeWindow(platform::WindowId id) override;
  platform::BoxAnswer ShowMessageBox(platform::WindowId owner, std::string_view caption_gbk,
                                     std::string_view text_gbk,
                                     platform::BoxButtons buttons) override;

 private:
  DumpHooks& hooks_;
  std::ostream& box_log_;
};

class WrappedRunBackend final : public platform::Backend {
 public:
  WrappedRunBackend(std::unique_ptr<platform::Backend> inner, DumpHooks& hooks)
      : inner_(std::move(inner)), hooks_(hooks) {}

  void PollEvents() override;
  uint32_t TickCount() override { return inner_->TickCount(); }
  void Sleep(uint32_t milliseconds) override { inner_->Sleep(milliseconds); }
  void IdleWait() override { inner_->IdleWait(); }
  void IdleWaitForInput() override { inner_->IdleWaitForInput(); }
  void WakeIdle() override { inner_->WakeIdle(); }
  void ClockPassed(uint32_t period_ms) override { inner_->ClockPassed(period_ms); }
  platform::LocalTime Now() override { return inner_->Now(); }

  bool CreateNativeWindow(platform::WindowId id, const platform::WindowDesc& desc) override;
  void DestroyNativeWindow(platform::WindowId id) override;
  void ShowNativeWindow(platform::WindowId id, platform::ShowCommand command) override {
    inner_->ShowNativeWindow(id, command);
  }
  bool SetFullscreen(platform::WindowId id, bool fullscreen) override {
    return inner_->SetFullscreen(id, fullscreen);
  }
  bool SetDesktopFullscreen(platform::WindowId id, bool on) override {
    return inner_->SetDesktopFullscreen(id, on);
  }
  void Present(platform::WindowId id, const platform::Framebuffer& framebuffer,
               const platform::Rect& dirty) override {
    inner_->Present(id, framebuffer, dirty);
  }
  void SetCursorVisible(bool visible) override { inner_->SetCursorVisible(visible); }
  bool RegisterCursorImage(uint16_t id, const platform::CursorImage& image) override {
    return inner_->RegisterCursorImage(id, image);
  }
  void SetCursorShape(platform::CursorShape shape) override { inner_->SetCursorShape(shape); }
  void WarpCursor(platform::Point screen) override { inner_->WarpCursor(screen); }
  void SetMouseCapture(bool captured) override { inner_->SetMouseCapture(captured); }
  platform::Point ClientOrigin(platform::WindowId id) override { return inner_->ClientOrigin(id); }
  void MoveNativeWindow(platform::WindowId id, platform::Point client_origin) override {
    inner_->MoveNativeWindow(id, client_origin);
  }
  std::optional<platform::FrameInsets> FrameOf(platform::WindowId id) override {
    return inner_->FrameOf(id);
  }
  platform::Point ScreenSize() override { return inner_->ScreenSize(); }
  int AddPeriodic(uint32_t period_ms, std::function<void()> body) override {
    return inner_->AddPeriodic(period_ms, std::move(body));
  }
  void RemovePeriodic(int id) override { inner_->RemovePeriodic(id); }
  bool OpenSoundOutput(platform::SoundDevice& device) override {
    return inner_->OpenSoundOutput(device);
  }
  void CloseSoundOutput() override { inner_->CloseSoundOutput(); }
  void SetTextInput(bool on) override { inner_->SetTextInput(on); }
  platform::BoxAnswer ShowMessageBox(platform::WindowId owner, std::string_view caption_gbk,
                                     std::string_view text_gbk,
                                     platform::BoxButtons buttons) override {
    return inner_->ShowMessageBox(owner, caption_gbk, text_gbk, buttons);
  }

 private:
  std::unique_ptr<platform::Backend> inner_;
  DumpHooks& hooks_;
};

}  // namespace tvx::tool
