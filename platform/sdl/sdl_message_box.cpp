// The modal message box of the SDL backend. It is drawn over the owner's picture, inside
// the owner's window, when the owner is on screen and large enough (this works in full
// screen too); otherwise in a borderless window of its own, centred on the screen, whose
// drawn caption bar can be dragged.
#include <SDL.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/input_sink.h"
#include "platform/message_box_layout.h"
#include "platform/sdl/picture_upload.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_keys.h"
#include "resources/gbk.h"

namespace tvx::platform {

namespace {

constexpr int kWaitMilliseconds = 10;

SDL_HitTestResult DragByCaption(SDL_Window*, const SDL_Point* area, void* data) {
  const auto& layout = *static_cast<const MessageBoxLayout*>(data);
  const Point p{area->x, area->y};
  return layout.caption_bar.Contains(p) && !layout.close_box.Contains(p) ? SDL_HITTEST_DRAGGABLE
                                                                         : SDL_HITTEST_NORMAL;
}

}  // namespace

class SdlBackend::BoxSession {
 public:
  BoxSession(SdlBackend& backend, const MessageBoxLayout& layout)
      : backend_(backend),
        layout_(layout),
        pixels_(static_cast<size_t>(layout.width) * layout.height) {}
  ~BoxSession();
  BoxSession(const BoxSession&) = delete;
  BoxSession& operator=(const BoxSession&) = delete;

  bool Open(WindowId owner);
  BoxAnswer Run();

 private:
  bool OpenOver(WindowId owner);
  bool OpenAlone();
  void Render();
  std::optional<BoxAnswer> Handle(const SDL_Event& event);
  std::optional<BoxAnswer> HandleKey(const SDL_KeyboardEvent& key);
  std::optional<BoxAnswer> HandleMouse(Point at, bool down, bool up);
  bool IsBoxWindow(uint32_t sdl_id) const;
  void MoveFocus(int step);

  SdlBackend& backend_;
  const MessageBoxLayout& layout_;
  std::vector<uint16_t> pixels_;  // rows top-down, as the layout draws them
  WindowId owner_ = kNoWindow;    // set when drawn over the owner's picture
  SDL_Window* window_ = nullptr;  // the box's own window otherwise
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  Point at_;  // the box's place in the renderer's picture
  int focused_ = 0;
  int pressed_ = kNoBoxButton;  // the button the mouse went down on
  bool pressed_over_ = false;   // and whether the mouse is still over it
  bool dirty_ = true;
  bool cursor_was_visible_ = true;
  bool opened_ = false;
};

bool SdlBackend::BoxSession::Open(WindowId owner) {
  if (!OpenOver(owner) && !OpenAlone()) return false;
  opened_ = true;
  // The box wants the ordinary pointer, free to leave the window.
  cursor_was_visible_ = backend_.cursor_visible_;
  SDL_ShowCursor(SDL_ENABLE);
  SDL_SetCursor(backend_.arrow_ ? backend_.arrow_ : SDL_GetDefaultCursor());
  if (backend_.captured_) SDL_CaptureMouse(SDL_FALSE);
  return true;
}

bool SdlBackend::BoxSession::OpenOver(WindowId owner) {
  NativeWindow* native = backend_.Find(owner);
  if (!native) return false;
  const Uint32 flags = SDL_GetWindowFlags(native->window);
  if (!(flags & SDL_WINDOW_SHOWN) || (flags & SDL_WINDOW_MINIMIZED)) return false;
  if (layout_.width > native->width || layout_.height > native->height) return false;
  texture_ = CreatePictureTexture(native->renderer, layout_.width, layout_.height);
  if (!texture_) return false;
  owner_ = owner;
  renderer_ = native->renderer;
  at_ = {(native->width - layout_.width) / 2, (native->height - layout_.height) / 2};
  return true;
}

bool SdlBackend::BoxSession::OpenAlone() {
  window_ = SDL_CreateWindow(gbk::ToUtf8(layout_.caption).c_str(), SDL_WINDOWPOS_CENTERED,
                             SDL_WINDOWPOS_CENTERED, layout_.width, layout_.height,
                             SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_HIDDEN);
  if (!window_) return false;
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_) texture_ = CreatePictureTexture(renderer_, layout_.width, layout_.height);
  if (!texture_) return false;  // the destructor frees what was made
  // Not every video driver can do this; the box works without it.
  SDL_SetWindowHitTest(window_, DragByCaption, const_cast<MessageBoxLayout*>(&layout_));
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  return true;
}

SdlBackend::BoxSession::~BoxSession() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (window_) {
    if (renderer_) SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
  } else if (NativeWindow* native = backend_.Find(owner_)) {
    backend_.Redraw(*native);  // the owner's picture without the box
  }
  if (!opened_) return;
  SDL_ShowCursor(cursor_was_visible_ ? SDL_ENABLE : SDL_DISABLE);
  backend_.ApplyCursor();
  if (backend_.captured_) SDL_CaptureMouse(SDL_TRUE);
}

void SdlBackend::BoxSession::Render() {
  RenderMessageBox(layout_, focused_, pressed_over_ ? pressed_ : kNoBoxButton, pixels_);
  UploadPicture(texture_, pixels_, layout_.width, layout_.height, false,
                {0, 0, layout_.width, layout_.height});
  if (window_) {
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  } else if (NativeWindow* native = backend_.Find(owner_)) {
    backend_.Redraw(*native, texture_, at_, {layout_.width, layout_.height});
  }
}

BoxAnswer SdlBackend::BoxSession::Run() {
  for (;;) {
    if (dirty_) {
      Render();
      dirty_ = false;
    }
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, kWaitMilliseconds)) continue;
    if (const std::optional<BoxAnswer> answer = Handle(event)) return *answer;
  }
}

bool SdlBackend::BoxSession::IsBoxWindow(uint32_t sdl_id) const {
  return window_ ? SDL_GetWindowID(window_) == sdl_id : backend_.NativeWindowId(owner_) == sdl_id;
}

void SdlBackend::BoxSession::MoveFocus(int step) {
  const auto count = static_cast<int>(layout_.buttons.size());
  if (count == 0) return;
  focused_ = ((focused_ + step) % count + count) % count;
  dirty_ = true;
}

std::optional<BoxAnswer> SdlBackend::BoxSession::Handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      // The keyboard belongs to the box, whichever window SDL thinks has it.
      return HandleKey(event.key);
    case SDL_MOUSEMOTION:
      if (IsBoxWindow(event.motion.windowID))
        return HandleMouse({event.motion.x - at_.x, event.motion.y - at_.y}, false, false);
      return std::nullopt;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT && IsBoxWindow(event.button.windowID))
        return HandleMouse({event.button.x - at_.x, event.button.y - at_.y},
                           event.type == SDL_MOUSEBUTTONDOWN, event.type == SDL_MOUSEBUTTONUP);
      return std::nullopt;
    case SDL_WINDOWEVENT: {
      const uint8_t what = event.window.event;
      const bool repaint = what == SDL_WINDOWEVENT_EXPOSED || what == SDL_WINDOWEVENT_SIZE_CHANGED;
      if (window_ && SDL_GetWindowID(window_) == event.window.windowID) {
        if (what == SDL_WINDOWEVENT_CLOSE) return DismissAnswer(layout_);
        dirty_ = dirty_ || repaint;
      } else if (what == SDL_WINDOWEVENT_CLOSE) {
        // No window of the program closes while the box is open.
      } else if (repaint && IsBoxWindow(event.window.windowID)) {
        input::Exposed(owner_);
        dirty_ = true;
      } else {
        // Focus, minimizing and repainting of the program's windows still happen.
        backend_.HandleWindowEvent(event);
      }
      return std::nullopt;
    }
    case SDL_QUIT:
      backend_.HandleEvent(event);  // queued for the engine once the box is answered
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<BoxAnswer> SdlBackend::BoxSession::HandleKey(const SDL_KeyboardEvent& key) {
  switch (KeyFromSdl(key.keysym.sym)) {
    case Key::Enter:
    case Key::Space:
      // A key held down since before the box opened must not answer it.
      if (key.repeat) return std::nullopt;
      return ButtonAnswer(layout_, focused_);
    case Key::Escape:
      if (key.repeat) return std::nullopt;
      return DismissAnswer(layout_);
    case Key::F4:
      if (key.repeat || !(key.keysym.mod & KMOD_ALT)) return std::nullopt;
      return DismissAnswer(layout_);  // Alt+F4 closes the box
    case Key::Tab:
      MoveFocus((key.keysym.mod & KMOD_SHIFT) ? -1 : 1);
      return std::nullopt;
    case Key::Left:
    case Key::Up:
      MoveFocus(-1);
      return std::nullopt;
    case Key::Right:
    case Key::Down:
      MoveFocus(1);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<BoxAnswer> SdlBackend::BoxSession::HandleMouse(Point at, bool down, bool up) {
  const int under = ButtonAt(layout_, at);
  if (down) {
    pressed_ = under;
    pressed_over_ = under != kNoBoxButton;
    if (under >= 0) focused_ = under;
    dirty_ = true;
    return std::nullopt;
  }
  if (pressed_ == kNoBoxButton) return std::nullopt;
  if (up) {
    const int pressed = pressed_;
    pressed_ = kNoBoxButton;
    pressed_over_ = false;
    dirty_ = true;
    if (under == pressed) return ButtonAnswer(layout_, pressed);
    return std::nullopt;
  }
  // Dragging off a pressed button releases it on screen; coming back presses it again.
  if (pressed_over_ != (under == pressed_)) {
    pressed_over_ = under == pressed_;
    dirty_ = true;
  }
  return std::nullopt;
}

BoxAnswer SdlBackend::ShowMessageBox(WindowId owner, std::string_view caption_gbk,
                                     std::string_view text_gbk, BoxButtons buttons) {
  const MessageBoxLayout layout = LayoutMessageBox(caption_gbk, text_gbk, buttons);
  BoxSession session(*this, layout);
  if (!session.Open(owner)) {
    // Nobody can answer: say what it was about, and take the cautious answer.
    std::fprintf(stderr, "talvex: cannot show a message box (%s): %s: %s\n", SDL_GetError(),
                 gbk::ToUtf8(caption_gbk).c_str(), gbk::ToUtf8(text_gbk).c_str());
    return DismissAnswer(layout);
  }
  return session.Run();
}

}  // namespace tvx::platform
