#include "ui/now_file_view.h"

#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "platform/ui_canvas.h"

namespace tvx {

namespace {

// "文件"
constexpr std::string_view kCaption = "\xCE\xC4\xBC\xFE";

// Layout of a row: the label on the face, the name in a sunken white field beside it.
constexpr int32_t kMargin = 10;
constexpr int32_t kRowPitch = 22;
constexpr int32_t kFieldLeft = 84;
constexpr int32_t kFieldHeight = 18;
// Where the view opens: beside its owner when there is room, at a small distance.
constexpr int32_t kGap = 8;

}  // namespace

NowFileView::~NowFileView() {
  if (platform::IsWindow(handle_)) platform::DestroyWindow(handle_);
}

std::string_view NowFileView::Text(size_t row) const {
  const size_t slot = row + 1;
  return row < kRows && slot < names_.size() ? std::string_view(names_[slot]) : std::string_view();
}

void NowFileView::Render(std::span<uint16_t> pixels) const {
  if (pixels.size() < static_cast<size_t>(kWidth) * kHeight) return;
  using namespace platform::ui;
  platform::UiCanvas canvas(pixels, kWidth, kHeight);
  canvas.Fill(canvas.bounds(), kFace);
  const int32_t text_offset = (kFieldHeight - platform::UiGlyphHeight()) / 2;
  for (size_t row = 0; row < kRows; ++row) {
    const int32_t top = kMargin + static_cast<int32_t>(row) * kRowPitch;
    canvas.Text({kMargin, top + text_offset}, kLabels[row], kBlack, canvas.bounds());
    const platform::Rect field{kFieldLeft, top, kWidth - kMargin, top + kFieldHeight};
    // A sunken field: the dark edges above and left, the light ones below and right.
    canvas.Edge(field, kShadow, kWhite);
    canvas.Edge(platform::Shrink(field, 1), kBlack, kFace);
    const platform::Rect inside = platform::Shrink(field, 2);
    canvas.Fill(inside, kWhite);
    canvas.Text({inside.left + 2, top + text_offset}, Text(row), kBlack, inside);
  }
}

void NowFileView::Show(platform::WindowId owner) {
  if (platform::IsWindow(handle_)) {
    if (!shown_) platform::ShowWindow(handle_, platform::ShowCommand::Show);
    shown_ = true;
    return;
  }
  platform::WindowDesc desc;
  desc.title = std::string(kCaption);
  desc.width = kWidth;
  desc.height = kHeight;
  desc.style = platform::WindowStyle::Dialog;
  desc.owner = owner;
  desc.proc = {&NowFileView::Procedure, this};
  const platform::WindowId window = platform::CreateWindow(desc);
  if (window == platform::kNoWindow) return;
  handle_ = window;
  // To the right of the owner, or against the screen's right edge when there is no room.
  const platform::Rect frame = platform::FrameRect(window);
  const platform::Rect screen = platform::ScreenRect();
  const platform::Rect beside = platform::FrameRect(owner);
  const int32_t x = std::max(std::min(beside.right + kGap, screen.right - frame.Width()), 0);
  const int32_t y = std::max(std::min(beside.top, screen.bottom - frame.Height()), 0);
  platform::MoveWindow(window, {x, y});
  platform::ShowWindow(window, platform::ShowCommand::Show);
  shown_ = true;
}

void NowFileView::Refresh() {
  if (!shown_ || !platform::IsWindow(handle_)) return;
  platform::InvalidateRect(handle_);
  platform::UpdateWindow(handle_);
}

void NowFileView::Paint(platform::WindowId window) const {
  std::vector<uint16_t> pixels(static_cast<size_t>(kWidth) * kHeight);
  Render(pixels);
  platform::DrawOverWindow(window, pixels, kWidth, kHeight, {0, 0});
}

intptr_t NowFileView::Procedure(void* context, const platform::Message& message) {
  return static_cast<NowFileView*>(context)->Handle(message);
}

intptr_t NowFileView::Handle(const platform::Message& message) {
  using platform::Msg;
  switch (message.kind) {
    case Msg::Create:
      Paint(message.window);
      return 1;
    case Msg::Destroy:
      handle_ = platform::kNoWindow;
      shown_ = false;
      return 0;
    case Msg::Paint:
      platform::BeginPaint(message.window);
      Paint(message.window);
      return 0;
    case Msg::Close:
      shown_ = false;
      platform::ShowWindow(message.window, platform::ShowCommand::Hide);
      return 0;
    case Msg::SysKeyDown:
    case Msg::SysCommand:
    case Msg::SetCursor:
      return platform::DefaultWindowProc(message);
    default:
      return 0;
  }
}

}  // namespace tvx
