#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <thread>

#include "platform/framebuffer.h"
#include "platform/input_sink.h"
#include "platform/platform.h"
#include "platform/sdl/picture_upload.h"
#include "platform/sdl/sdl_keys.h"
#include "resources/gbk.h"

namespace tvx::platform {

namespace {

constexpr int kWheelNotch = 120;

void DestroyNative(SDL_Window* window, SDL_Renderer* renderer, SDL_Texture* texture) {
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  if (window) SDL_DestroyWindow(window);
}

}  // namespace

SdlBackend::SdlBackend(SdlOptions options) : options_(options) {}

SdlBackend::~SdlBackend() {
  CloseSoundOutput();
  for (auto& [id, native] : windows_) DestroyNative(native.window, native.renderer, native.texture);
  windows_.clear();
  for (auto& [id, cursor] : cursors_) SDL_FreeCursor(cursor);
  if (arrow_) SDL_FreeCursor(arrow_);
  if (initialised_) {
    // Another backend may have started video meanwhile: only the last user shuts SDL down.
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }
}

bool SdlBackend::Init() {
  if (initialised_) return true;
  // Smooth scaling suits a 640x480 picture stretched by uneven factors best.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  // Closing windows and Alt+F4 are the engine's decisions (it asks the player first).
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_WINDOWS_NO_CLOSE_ON_ALT_F4, "1");
  // The click that activates the window also counts as a click in the game.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // The programs have their own main() (no SDL2main): SDL is told it may start.
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  initialised_ = true;
  if (const Uint32 type = SDL_RegisterEvents(1); type != static_cast<Uint32>(-1))
    wake_event_ = type;
  const std::string_view driver = SDL_GetCurrentVideoDriver();
  no_window_manager_ = driver == "dummy" || driver == "offscreen";
  // The game reads keys only; text input (and an input method) is on only while a prompt
  // asks for typed text.
  SDL_StopTextInput();
  arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  return true;
}

SdlBackend::NativeWindow* SdlBackend::Find(WindowId id) {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : &it->second;
}

WindowId SdlBackend::FromSdl(uint32_t sdl_id) const {
  for (const auto& [id, native] : windows_)
    if (native.sdl_id == sdl_id) return id;
  return kNoWindow;
}

uint32_t SdlBackend::NativeWindowId(WindowId id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? 0 : it->second.sdl_id;
}

// ---- Time ----

uint32_t SdlBackend::TickCount() {
  return static_cast<uint32_t>(SDL_GetTicks64());
}

void SdlBackend::Sleep(uint32_t milliseconds) {
  if (milliseconds == 0)
    std::this_thread::yield();
  else
    SDL_Delay(milliseconds);
}

void SdlBackend::IdleWait() {
  // Wakes as soon as input arrives or WakeIdle is called (the event stays queued for
  // PollEvents), and a millisecond after the clock's next pass; the longest rest is a
  // backstop. Without a wake event, two milliseconds keep an idle game at a few per cent of
  // a core.
  constexpr int64_t kBackstopMs = 15;
  int64_t rest = 2;
  if (wake_event_ != 0) {
    rest = kBackstopMs;
    if (const uint64_t pass = next_clock_pass_.load(std::memory_order_relaxed); pass != 0) {
      const auto until = static_cast<int64_t>(pass + 1 - SDL_GetTicks64());
      rest = std::clamp<int64_t>(until, 1, kBackstopMs);
    }
  }
  RestAtMost(rest);
}

void SdlBackend::IdleWaitForInput() {
  // Input and WakeIdle end the rest; the backstop only bounds what a missed wake could cost.
  // Without a wake event this is IdleWait's short rest.
  constexpr int64_t kBackstopMs = 100;
  RestAtMost(wake_event_ != 0 ? kBackstopMs : 2);
}

void SdlBackend::RestAtMost(int64_t milliseconds) {
  // Woken by an event: PollEvents takes it at once. Otherwise the wait has just looked at
  // the system and found nothing: PollEvents need not look again within this millisecond.
  const bool woken = SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds)) == 1;
  last_pump_ = woken ? UINT64_MAX : SDL_GetTicks64();
}

void SdlBackend::ClockPassed(uint32_t period_ms) {
  next_clock_pass_.store(period_ms == 0 ? 0 : SDL_GetTicks64() + period_ms,
                         std::memory_order_relaxed);
}

void SdlBackend::WakeIdle() {
  // One queued wake is enough; PollEvents takes it out.
  if (wake_event_ == 0 || wake_queued_.exchange(true)) return;
  SDL_Event event{};
  event.type = wake_event_;
  if (SDL_PushEvent(&event) != 1) wake_queued_.store(false);
}

LocalTime SdlBackend::Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &seconds);
#else
  localtime_r(&seconds, &tm);
#endif
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday,
          tm.tm_hour,        tm.tm_min,     tm.tm_sec,  static_cast<int>(ms % 1000)};
}

// ---- Windows ----

bool SdlBackend::CreateNativeWindow(WindowId id, const WindowDesc& desc) {
  if (!initialised_ || windows_.contains(id)) return false;
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (desc.style == WindowStyle::Popup)
    flags |= SDL_WINDOW_BORDERLESS;
  else if (desc.style == WindowStyle::Overlapped && options_.windowed)
    flags |= SDL_WINDOW_RESIZABLE;
  if (desc.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if (desc.owner != kNoWindow) {
    flags |= SDL_WINDOW_SKIP_TASKBAR;
    // An owned window stays above its owner: over a topmost owner it must be topmost too.
    if (const NativeWindow* owner = Find(desc.owner);
        owner && (SDL_GetWindowFlags(owner->window) & SDL_WINDOW_ALWAYS_ON_TOP))
      flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  }
  // A window given no position is centred.
  const bool placed = desc.x != 0 || desc.y != 0;
  const int x = placed ? desc.x : static_cast<int>(SDL_WINDOWPOS_CENTERED);
  const int y = placed ? desc.y : static_cast<int>(SDL_WINDOWPOS_CENTERED);
  const int32_t width = std::max(desc.width, 1);
  const int32_t height = std::max(desc.height, 1);

  NativeWindow native;
  native.width = width;
  native.height = height;
  native.top_level = desc.owner == kNoWindow;
  native.window = SDL_CreateWindow(gbk::ToUtf8(desc.title).c_str(), x, y, width, height, flags);
  if (native.window) {
    // No vsync: presenting must never hold up the program thread.
    native.renderer = SDL_CreateRenderer(native.window, -1, SDL_RENDERER_ACCELERATED);
    if (!native.renderer)
      native.renderer = SDL_CreateRenderer(native.window, -1, SDL_RENDERER_SOFTWARE);
  }
  if (native.renderer) native.texture = CreatePictureTexture(native.renderer, width, height);
  if (!native.texture) {
    DestroyNative(native.window, native.renderer, native.texture);
    return false;
  }
  // The picture keeps its size and aspect in any window size; mouse positions arrive in
  // picture coordinates.
  SDL_RenderSetLogicalSize(native.renderer, width, height);
  SDL_SetRenderDrawColor(native.renderer, 0, 0, 0, SDL_ALPHA_OPAQUE);
  native.sdl_id = SDL_GetWindowID(native.window);
  windows_.emplace(id, native);
  return true;
}

void SdlBackend::DestroyNativeWindow(WindowId id) {
  auto it = windows_.find(id);
  if (it == windows_.end()) return;
  DestroyNative(it->second.window, it->second.renderer, it->second.texture);
  windows_.erase(it);
  last_mouse_.erase(id);
}

void SdlBackend::ShowNativeWindow(WindowId id, ShowCommand command) {
  NativeWindow* native = Find(id);
  if (!native) return;
  switch (command) {
    case ShowCommand::Hide:
      SDL_HideWindow(native->window);
      return;
    case ShowCommand::Show:
      SDL_ShowWindow(native->window);
      SDL_RaiseWindow(native->window);
      break;
    case ShowCommand::Minimize:
      SDL_MinimizeWindow(native->window);
      return;
    case ShowCommand::Restore:
      SDL_ShowWindow(native->window);
      SDL_RestoreWindow(native->window);
      SDL_RaiseWindow(native->window);
      break;
    case ShowCommand::Maximize:
      SDL_ShowWindow(native->window);
      SDL_MaximizeWindow(native->window);
      SDL_RaiseWindow(native->window);
      break;
  }
  // What was drawn while the window was hidden never reached the texture.
  input::Exposed(id);
  // Without a window manager nothing else would ever give the shown window the keyboard.
  if (no_window_manager_ && native->top_level) input::Focus(id, true);
}

bool SdlBackend::SetFullscreen(WindowId id, bool fullscreen) {
  NativeWindow* native = Find(id);
  if (!native || (fullscreen && options_.windowed)) return false;
  if (SDL_SetWindowFullscreen(native->window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
    return false;
  input::Exposed(id);
  return true;
}

bool SdlBackend::SetDesktopFullscreen(WindowId id, bool on) {
  NativeWindow* native = Find(id);
  if (!native) return false;
  if (SDL_SetWindowFullscreen(native->window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
    return false;
  input::Exposed(id);
  return true;
}

void SdlBackend::Present(WindowId id, const Framebuffer& framebuffer, const Rect& dirty) {
  NativeWindow* native = Find(id);
  if (!native) return;
  const int32_t width = framebuffer.width();
  const int32_t height = framebuffer.height();
  Rect area = dirty;
  if (width != native->width || height != native->height) {
    SDL_Texture* texture = CreatePictureTexture(native->renderer, width, height);
    if (!texture) return;
    SDL_DestroyTexture(native->texture);
    native->texture = texture;
    native->width = width;
    native->height = height;
    SDL_RenderSetLogicalSize(native->renderer, width, height);
    area = {0, 0, width, height};
  }
  UploadPicture(native->texture, framebuffer.pixels(), width, height, true, area);
  Redraw(*native);
}

void SdlBackend::Redraw(const NativeWindow& native, SDL_Texture* overlay, Point overlay_at,
                        Point overlay_size) {
  SDL_RenderClear(native.renderer);
  SDL_RenderCopy(native.renderer, native.texture, nullptr, nullptr);
  if (overlay) {
    const SDL_Rect where{overlay_at.x, overlay_at.y, overlay_size.x, overlay_size.y};
    SDL_RenderCopy(native.renderer, overlay, nullptr, &where);
  }
  SDL_RenderPresent(native.renderer);
}

Point SdlBackend::ClientOrigin(WindowId id) {
  NativeWindow* native = Find(id);
  if (!native) return {};
  if (SDL_GetWindowFlags(native->window) & SDL_WINDOW_FULLSCREEN) return {};
  int x = 0;
  int y = 0;
  SDL_GetWindowPosition(native->window, &x, &y);
  return {x, y};
}

void SdlBackend::MoveNativeWindow(WindowId id, Point client_origin) {
  if (NativeWindow* native = Find(id))
    SDL_SetWindowPosition(native->window, client_origin.x, client_origin.y);
}

std::optional<FrameInsets> SdlBackend::FrameOf(WindowId id) {
  NativeWindow* native = Find(id);
  if (!native) return std::nullopt;
  int top = 0, left = 0, bottom = 0, right = 0;
  if (SDL_GetWindowBordersSize(native->window, &top, &left, &bottom, &right) != 0)
    return std::nullopt;
  if (top == 0 && left == 0 && bottom == 0 && right == 0) return std::nullopt;
  return FrameInsets{left, top, right, bottom};
}

Point SdlBackend::ScreenSize() {
  SDL_Rect bounds{};
  if (!initialised_ || SDL_GetDisplayBounds(0, &bounds) != 0) return {640, 480};
  return {bounds.w, bounds.h};
}

// ---- Events ----

void SdlBackend::SetTextInput(bool on) {
  if (on)
    SDL_StartTextInput();
  else
    SDL_StopTextInput();
}

void SdlBackend::PollEvents() {
  // The interpreter asks before every command: look at the system at most once a millisecond.
  const uint64_t now = SDL_GetTicks64();
  if (now == last_pump_) return;
  last_pump_ = now;
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
    if (wake_event_ != 0 && event.type == wake_event_)
      wake_queued_.store(false);
    else
      HandleEvent(event);
  }
}

void SdlBackend::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      // Held keys repeat as further key-downs: the menus and waits see repeated presses.
      const Key key = KeyFromSdl(event.key.keysym.sym);
      if (key != Key::None) input::Key(key, event.type == SDL_KEYDOWN);
      break;
    }
    case SDL_TEXTINPUT:
      // Only while a prompt asked for text; what cannot be written in GBK becomes '?'.
      if (TextInputActive()) input::Text(gbk::FromUtf8(event.text.text));
      break;
    case SDL_MOUSEMOTION:
      ReportMouse(FromSdl(event.motion.windowID), event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool left = event.button.button == SDL_BUTTON_LEFT;
      if (!left && event.button.button != SDL_BUTTON_RIGHT) break;
      const WindowId id = FromSdl(event.button.windowID);
      if (id == kNoWindow) break;
      ReportMouse(id, event.button.x, event.button.y);
      input::MouseButton(id, left, event.type == SDL_MOUSEBUTTONDOWN);
      break;
    }
    case SDL_MOUSEWHEEL: {
      int notches = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      const WindowId id = FromSdl(event.wheel.windowID);
      if (notches != 0)
        input::Wheel(id != kNoWindow ? id : input::MainTarget(), notches * kWheelNotch);
      break;
    }
    case SDL_WINDOWEVENT:
      HandleWindowEvent(event);
      break;
    case SDL_QUIT:
      input::SystemCommand(input::MainTarget(), kScClose);
      break;
    default:
      break;
  }
}

void SdlBackend::HandleWindowEvent(const SDL_Event& event) {
  const WindowId id = FromSdl(event.window.windowID);
  NativeWindow* native = Find(id);
  if (!native) return;
  switch (event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      input::Focus(id, true);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      input::Focus(id, false);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      // Never closes by itself: the engine decides, usually after asking.
      input::SystemCommand(id, kScClose);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      input::Minimized(id, true);
      break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      input::Minimized(id, false);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      input::Exposed(id);
      Redraw(*native);
      break;
    default:
      break;
  }
}

void SdlBackend::ReportMouse(WindowId id, int32_t x, int32_t y) {
  const NativeWindow* native = Find(id);
  if (!native) return;
  // Over the black bars beside the picture the pointer is at the picture's edge.
  const Point at{std::clamp(x, 0, native->width - 1), std::clamp(y, 0, native->height - 1)};
  auto [it, inserted] = last_mouse_.try_emplace(id, at);
  if (!inserted && it->second == at) return;
  it->second = at;
  input::MouseMove(id, at);
}

// ---- Cursor ----

void SdlBackend::SetCursorVisible(bool visible) {
  cursor_visible_ = visible;
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlBackend::SetCursorShape(CursorShape shape) {
  cursor_shape_ = shape;
  ApplyCursor();
}

SDL_Cursor* SdlBackend::CursorFor(CursorShape shape) {
  if (shape.resource != 0) {
    auto it = cursors_.find(shape.resource);
    if (it != cursors_.end()) return it->second;
  }
  return arrow_ ? arrow_ : SDL_GetDefaultCursor();
}

void SdlBackend::ApplyCursor() {
  if (SDL_Cursor* cursor = CursorFor(cursor_shape_)) SDL_SetCursor(cursor);
}

bool SdlBackend::RegisterCursorImage(uint16_t id, const CursorImage& image) {
  if (!initialised_ || id == 0 || image.width <= 0 || image.height <= 0 ||
      image.argb.size() < static_cast<size_t>(image.width) * image.height)
    return false;
  // SDL copies the pixels into the cursor; the surface only lends them.
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(image.argb.data()), image.width, image.height, 32,
      image.width * static_cast<int>(sizeof(uint32_t)), SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return false;
  SDL_Cursor* cursor = SDL_CreateColorCursor(surface, image.hotspot.x, image.hotspot.y);
  SDL_FreeSurface(surface);
  if (!cursor) return false;
  auto [it, inserted] = cursors_.try_emplace(id, cursor);
  if (!inserted) {
    if (SDL_GetCursor() == it->second) SDL_SetCursor(cursor);
    SDL_FreeCursor(it->second);
    it->second = cursor;
  }
  if (cursor_shape_.resource == id) ApplyCursor();
  return true;
}

void SdlBackend::WarpCursor(Point screen) {
  WindowId target = FocusWindow();
  if (!Find(target)) target = input::MainTarget();
  const NativeWindow* native = Find(target);
  if (!native) return;
  const Point origin = ClientOrigin(target);
  const Point client{screen.x - origin.x, screen.y - origin.y};
  int x = 0;
  int y = 0;
  SDL_RenderLogicalToWindow(native->renderer, static_cast<float>(client.x),
                            static_cast<float>(client.y), &x, &y);
  // The platform reports the move itself; SDL's echo of it is not news.
  last_mouse_[target] = client;
  SDL_WarpMouseInWindow(native->window, x, y);
}

void SdlBackend::SetMouseCapture(bool captured) {
  captured_ = captured;
  SDL_CaptureMouse(captured ? SDL_TRUE : SDL_FALSE);
}

std::unique_ptr<Backend> CreateSdlBackend(bool windowed) {
  auto backend = std::make_unique<SdlBackend>(SdlOptions{windowed});
  if (!backend->Init()) {
    std::fprintf(stderr, "talvex: cannot start SDL video: %s\n", SDL_GetError());
    return nullptr;
  }
  return backend;
}

}  // namespace tvx::platform
