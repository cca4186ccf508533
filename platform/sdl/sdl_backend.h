// The backend of the real programs: SDL2 windows, input and timing.
//
// Each engine window is an SDL window with a renderer and a streaming texture of its client
// size (picture_upload.h); the picture is scaled to the window with its aspect kept (black
// bars around it). Presenting uploads only the changed rows and never waits for vsync.
// Message boxes are drawn by the engine itself (message_box_layout.h), over the owner's
// picture when there is one, so that they also work in full screen.
//
// The SDL types are only declared here: users of this header need no SDL include path.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <span>

#include "platform/backend.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
union SDL_Event;

namespace tvx::platform {

struct SdlOptions {
  // The windowed program: decorated, resizable windows that never go full screen.
  bool windowed = true;
};

class SdlBackend final : public Backend {
 public:
  explicit SdlBackend(SdlOptions options);
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  // Starts SDL video; false (with SDL_GetError set) when it cannot.
  bool Init();

  // SDL's id of the window's native window, 0 for none (to address SDL events to it).
  uint32_t NativeWindowId(WindowId id) const;

  void PollEvents() override;
  uint32_t TickCount() override;
  void Sleep(uint32_t milliseconds) override;
  void IdleWait() override;
  void IdleWaitForInput() override;
  void WakeIdle() override;
  void ClockPassed(uint32_t period_ms) override;
  LocalTime Now() override;

  bool CreateNativeWindow(WindowId id, const WindowDesc& desc) override;
  void DestroyNativeWindow(WindowId id) override;
  void ShowNativeWindow(WindowId id, ShowCommand command) override;
  bool SetFullscreen(WindowId id, bool fullscreen) override;
  bool SetDesktopFullscreen(WindowId id, bool on) override;
  void Present(WindowId id, const Framebuffer& framebuffer, const Rect& dirty) override;

  void SetCursorVisible(bool visible) override;
  // False when SDL refuses the picture (the dummy video driver makes no cursors at all).
  bool RegisterCursorImage(uint16_t id, const CursorImage& image) override;
  void SetCursorShape(CursorShape shape) override;
  void WarpCursor(Point screen) override;
  void SetMouseCapture(bool captured) override;
  Point ClientOrigin(WindowId id) override;
  void MoveNativeWindow(WindowId id, Point client_origin) override;
  // What the window manager reports; nothing before it has framed the window (or without one).
  std::optional<FrameInsets> FrameOf(WindowId id) override;
  // The primary display's size.
  Point ScreenSize() override;

  BoxAnswer ShowMessageBox(WindowId owner, std::string_view caption_gbk, std::string_view text_gbk,
                           BoxButtons buttons) override;
  void SetTextInput(bool on) override;

  // Sound (sdl_sound_output.cpp): SDL's audio device pulls the mix on its own thread. Without
  // a usable audio device the dummy driver consumes it in real time, so that sounds still
  // end and the play cursors move.
  bool OpenSoundOutput(SoundDevice& device) override;
  void CloseSoundOutput() override;
  // Frames in the device buffer the output was opened with (0 when closed): the latency.
  uint32_t audio_buffer_frames() const { return audio_frames_; }
  uint32_t audio_rate() const { return audio_rate_; }

 private:
  struct NativeWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;  // the client picture, as last presented
    int32_t width = 0;
    int32_t height = 0;
    uint32_t sdl_id = 0;
    bool top_level = true;
  };
  class BoxSession;

  NativeWindow* Find(WindowId id);
  WindowId FromSdl(uint32_t sdl_id) const;
  // Draws the window's last picture again; `overlay` (a texture and where it goes in the
  // picture) is drawn on top when given.
  void Redraw(const NativeWindow& native, SDL_Texture* overlay = nullptr, Point overlay_at = {},
              Point overlay_size = {});
  // Rests until an event arrives or `milliseconds` have passed.
  void RestAtMost(int64_t milliseconds);
  void HandleEvent(const SDL_Event& event);
  void HandleWindowEvent(const SDL_Event& event);
  // Reports the mouse at a point of the window's picture, if it moved there.
  void ReportMouse(WindowId id, int32_t x, int32_t y);
  SDL_Cursor* CursorFor(CursorShape shape);
  void ApplyCursor();

  SdlOptions options_;
  bool initialised_ = false;
  bool no_window_manager_ = false;  // the dummy driver: nothing ever gives a window focus
  std::map<WindowId, NativeWindow> windows_;
  std::map<WindowId, Point> last_mouse_;
  uint64_t last_pump_ = UINT64_MAX;
  // The event type that WakeIdle posts (0 until registered), and whether one is queued.
  uint32_t wake_event_ = 0;
  std::atomic<bool> wake_queued_{false};
  std::atomic<uint64_t> next_clock_pass_{0};  // SDL ticks; 0 when no pass is expected
  bool cursor_visible_ = true;
  bool captured_ = false;
  CursorShape cursor_shape_;
  SDL_Cursor* arrow_ = nullptr;
  std::map<uint16_t, SDL_Cursor*> cursors_;
  uint32_t audio_device_ = 0;
  uint32_t audio_frames_ = 0;
  uint32_t audio_rate_ = 0;
};

// An initialised SDL backend, or null (after telling stderr why) when SDL cannot start.
std::unique_ptr<Backend> CreateSdlBackend(bool windowed);

}  // namespace tvx::platform
