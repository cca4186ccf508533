// What a backend (SDL2 or headless) gives the platform layer: the outside world's input,
// time, real windows and boxes. The platform core keeps the windows, the queue and the input
// state; a backend only turns its own events into calls on the core (see input_sink.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/types.h"

namespace tvx::platform {

class Framebuffer;
class SoundDevice;

class Backend {
 public:
  virtual ~Backend() = default;

  // Turns what happened outside since the last call into input state and posted messages.
  // Called before every look at the queue, so it must be cheap when nothing happened.
  virtual void PollEvents() = 0;

  // Milliseconds since some fixed moment; wraps like a 32-bit counter.
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  // Rests until input may have arrived, or about a millisecond has passed: what a loop that
  // waits for the player does instead of spinning.
  virtual void IdleWait() = 0;
  // Rests like IdleWait, for a loop that only input or a wake can end: the clock's passes
  // need not end the rest (what they change for such a loop calls WakeIdle), so a game
  // waiting for a click sleeps through them.
  virtual void IdleWaitForInput() { IdleWait(); }
  // Ends the current (or else the next) IdleWait early. Called from any thread.
  virtual void WakeIdle() {}
  // The clock's thread has passed and passes again `period_ms` on (0: no more): IdleWait
  // rests at most until just after that, so that loops waiting for the clock see each tick
  // at once without the clock waking them. Called from the clock's thread.
  virtual void ClockPassed(uint32_t period_ms) { (void)period_ms; }
  virtual LocalTime Now() = 0;

  virtual bool CreateNativeWindow(WindowId id, const WindowDesc& desc) = 0;
  virtual void DestroyNativeWindow(WindowId id) = 0;
  virtual void ShowNativeWindow(WindowId id, ShowCommand command) = 0;
  // The full-screen program's display mode; the windowed program's backend refuses it.
  virtual bool SetFullscreen(WindowId id, bool fullscreen) = 0;
  // The window covers the whole desktop (or comes back from that), the picture scaled with
  // its aspect kept; the display mode stays as it is. Any program may do this.
  virtual bool SetDesktopFullscreen(WindowId id, bool on) = 0;
  // Shows the part `dirty` of the window's framebuffer on screen.
  virtual void Present(WindowId id, const Framebuffer& framebuffer, const Rect& dirty) = 0;

  virtual void SetCursorVisible(bool visible) = 0;
  // Makes cursor resource `id` show this picture (the platform core has checked that the
  // picture is whole and `id` is not 0); false when the backend cannot make such a cursor.
  virtual bool RegisterCursorImage(uint16_t id, const CursorImage& image) = 0;
  virtual void SetCursorShape(CursorShape shape) = 0;
  // Moves the pointer to a position in screen coordinates.
  virtual void WarpCursor(Point screen) = 0;
  virtual void SetMouseCapture(bool captured) = 0;
  // Where the window's client area lies on the screen.
  virtual Point ClientOrigin(WindowId id) = 0;
  // Moves the window so that its client area's top-left corner lies at `client_origin`.
  virtual void MoveNativeWindow(WindowId id, Point client_origin) = 0;
  // The frame the window system put around the window's client area; nullopt when it tells
  // none (no window manager, or a window it has not framed yet).
  virtual std::optional<FrameInsets> FrameOf(WindowId id) = 0;
  // The size of the screen that windows are placed on, in pixels.
  virtual Point ScreenSize() = 0;

  // Periodic tasks that the backend runs itself at exact times of its own clock (headless).
  // -1 when it has no such clock: the task then runs on a thread of its own.
  virtual int AddPeriodic(uint32_t period_ms, std::function<void()> body) {
    (void)period_ms;
    (void)body;
    return -1;
  }
  virtual void RemovePeriodic(int id) { (void)id; }

  // Starts playing the device's mix on the backend's sound output; false when it has none.
  virtual bool OpenSoundOutput(SoundDevice& device) {
    (void)device;
    return false;
  }
  // Stops asking the device for frames: it is not touched again once this returns.
  virtual void CloseSoundOutput() {}

  // Typed text is wanted (an input method may show) or no longer wanted.
  virtual void SetTextInput(bool on) { (void)on; }
  // A modal box; returns when the user answered it. owner is kNoWindow for the desktop.
  virtual BoxAnswer ShowMessageBox(WindowId owner, std::string_view caption_gbk,
                                   std::string_view text_gbk, BoxButtons buttons) = 0;
};

}  // namespace tvx::platform
