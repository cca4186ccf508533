#include "app/item_window.h"

#include <algorithm>

#include "app/game_system.h"
#include "platform/platform.h"

namespace tvx {

namespace {
// "道具栏"
constexpr std::string_view kCaption = "\xB5\xC0\xBE\xDF\xC0\xB8";
}  // namespace

ItemWindow::~ItemWindow() {
  if (exists()) platform::DestroyWindow(handle_);
}

bool ItemWindow::exists() const {
  return handle_ != platform::kNoWindow && platform::IsWindow(handle_);
}

void ItemWindow::Create() {
  if (exists()) return;
  platform::WindowDesc desc;
  desc.title = std::string(kCaption);
  desc.width = kWidth;
  desc.height = kHeight;
  desc.style = platform::WindowStyle::Dialog;
  desc.owner = system_.mainWindow().handle();
  desc.proc = {&ItemWindow::Procedure, this};
  const platform::WindowId window = platform::CreateWindow(desc);
  if (window == platform::kNoWindow) return;
  handle_ = window;
  // Wherever the settings say, but all of it on the screen. A position from a larger screen
  // (or a damaged file) comes back to the nearest place where the window can be reached.
  const platform::Rect frame = platform::FrameRect(window);
  const platform::Rect screen = platform::ScreenRect();
  const int32_t x =
      std::min(std::max(settings_.ReadInt("ITEMWIN", "X", 0), 0), screen.Width() - frame.Width());
  const int32_t y =
      std::min(std::max(settings_.ReadInt("ITEMWIN", "Y", 0), 0), screen.Height() - frame.Height());
  platform::MoveWindow(window, {x, y});
}

void ItemWindow::Show() {
  if (!exists()) return;
  system_.PlaySystemSound("WINOPN.WAV");
  platform::ShowWindow(handle_, platform::ShowCommand::Show);
  shown_ = true;
}

void ItemWindow::Hide() {
  if (!shown_ && !exists()) return;
  system_.PlaySystemSound("WINCLS.WAV");
  if (exists()) platform::ShowWindow(handle_, platform::ShowCommand::Hide);
  shown_ = false;
}

void ItemWindow::Redraw() {
  if (!exists()) return;
  platform::InvalidateRect(handle_);
  platform::UpdateWindow(handle_);
}

void ItemWindow::SavePosition() {
  if (!exists()) return;
  const platform::Rect frame = platform::FrameRect(handle_);
  settings_.WriteInt("ITEMWIN", "X", frame.left);
  settings_.WriteInt("ITEMWIN", "Y", frame.top);
}

const platform::Framebuffer* ItemWindow::picture() const {
  if (exists()) return platform::WindowFramebuffer(handle_);
  return kept_ ? &kept_picture_ : nullptr;
}

void ItemWindow::Paint(platform::WindowId window) {
  VramPlaneSet& planes = system_.planes();
  const VramPlane& plane = planes.Get(kPlane);
  if (!plane.exists()) return;
  planes.PaintPlane(
      window,
      {plane.originX, plane.originY, plane.originX + plane.width, plane.originY + plane.height},
      kPlane);
}

intptr_t ItemWindow::Procedure(void* context, const platform::Message& message) {
  return static_cast<ItemWindow*>(context)->Handle(message);
}

intptr_t ItemWindow::Handle(const platform::Message& message) {
  using platform::Msg;
  switch (message.kind) {
    case Msg::Create:
      Paint(message.window);
      return 1;
    case Msg::Destroy:
      // The game ends with the window standing: its place and its last picture are kept.
      if (const platform::Framebuffer* picture = platform::WindowFramebuffer(message.window)) {
        kept_picture_ = *picture;
        kept_ = true;
      }
      SavePosition();
      handle_ = platform::kNoWindow;
      shown_ = false;
      left_capture_ = right_capture_ = false;
      return 0;
    case Msg::Paint:
      platform::BeginPaint(message.window);
      Paint(message.window);
      return 0;
    case Msg::Close:
      Hide();
      return 0;
    case Msg::Char:
      if (message.wparam == ' ') Hide();
      return 0;
    case Msg::SetCursor:
      system_.mainWindow().HandleSetCursor();
      return 1;
    case Msg::LButtonDown:
    case Msg::RButtonDown: {
      if (platform::Capture() != platform::kNoWindow) return 0;
      platform::SetCapture(message.window);
      (message.kind == Msg::LButtonDown ? left_capture_ : right_capture_) = true;
      return 0;
    }
    case Msg::LButtonUp:
      if (left_capture_ && !right_capture_) platform::ReleaseCapture();
      left_capture_ = false;
      return 0;
    case Msg::RButtonUp:
      if (right_capture_ && !left_capture_) platform::ReleaseCapture();
      right_capture_ = false;
      return 0;
    case Msg::SysKeyDown:
    case Msg::SysCommand:
      // Alt+F4 and the window manager's close box come back as Close: the window hides.
      return platform::DefaultWindowProc(message);
    default:
      return 0;
  }
}

}  // namespace tvx
