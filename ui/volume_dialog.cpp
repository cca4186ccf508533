#include "ui/volume_dialog.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/platform.h"
#include "platform/ui_canvas.h"
#include "platform/waiter.h"
#include "sound/sound_manager.h"

namespace tvx {

using platform::Key;
using platform::Msg;
using platform::Point;
using platform::Rect;
namespace ui = platform::ui;

namespace {

// The dialog is laid out in dialog units of its 12-pixel font: 1.5 pixels each way.
constexpr int32_t Px(int32_t units) {
  return (3 * units + 1) / 2;
}

constexpr int32_t kFrame = 3;
constexpr int32_t kCaptionHeight = 18;
constexpr int32_t kClientTop = kFrame + kCaptionHeight + 1;
constexpr int32_t kCloseWidth = 16;
constexpr int32_t kCloseHeight = 14;
static_assert(VolumeDialog::kWidth == kFrame + Px(154) + kFrame);
static_assert(VolumeDialog::kHeight == kClientTop + Px(143) + kFrame);

// A rectangle of the client area given in dialog units, in the picture's pixels.
constexpr Rect Units(int32_t x, int32_t y, int32_t width, int32_t height) {
  return {kFrame + Px(x), kClientTop + Px(y), kFrame + Px(x + width), kClientTop + Px(y + height)};
}

struct Label {
  Rect rect;
  std::string_view text;  // GBK
};

constexpr std::string_view kCaption = "\xD2\xF4\xC1\xBF\xBF\xD8\xD6\xC6";  // 音量控制

constexpr std::array<Label, 9> kLabels = {{
    {Units(7, 7, 140, 8), "\xD2\xF4\xC0\xD6\xD2\xF4\xC1\xBF"},           // 音乐音量
    {Units(7, 53, 140, 8), "\xD0\xA7\xB9\xFB\xD2\xF4\xD2\xF4\xC1\xBF"},  // 效果音音量
    {Units(7, 96, 140, 8), "\xD3\xEF\xD2\xF4\xD2\xF4\xC1\xBF"},          // 语音音量
    {Units(7, 27, 12, 8), "MIN"},
    {Units(7, 73, 12, 8), "MIN"},
    {Units(7, 117, 12, 8), "MIN"},
    {Units(132, 26, 15, 8), "MAX"},
    {Units(132, 73, 15, 8), "MAX"},
    {Units(132, 116, 15, 8), "MAX"},
}};

constexpr std::array<Rect, VolumeDialog::kSliders> kSliderRects = {
    Units(22, 17, 109, 29),
    Units(22, 64, 109, 29),
    Units(22, 107, 109, 29),
};

constexpr Rect kCaptionBar{kFrame, kFrame, VolumeDialog::kWidth - kFrame, kFrame + kCaptionHeight};

bool TowardsQuiet(TrackbarMove move) {
  return move == TrackbarMove::kLineUp || move == TrackbarMove::kPageUp ||
         move == TrackbarMove::kTop;
}
bool TowardsLoud(TrackbarMove move) {
  return move == TrackbarMove::kLineDown || move == TrackbarMove::kPageDown ||
         move == TrackbarMove::kBottom;
}

}  // namespace

VolumeDialog::VolumeDialog(SoundManager& sound, bool music_and_effects_on, bool voice_on)
    : sound_(sound), pixels_(static_cast<size_t>(kWidth) * kHeight, ui::kFace) {
  for (int i = 0; i < kSliders; ++i) {
    Trackbar& slider = sliders_[static_cast<size_t>(i)];
    slider.rect = SliderRect(i);
    slider.max = 10;
    slider.position = PositionOf(sound_.GetChannelVolume(ChannelOf(i)));
    slider.enabled = ChannelOf(i) == SoundManager::kVoice ? voice_on : music_and_effects_on;
    if (focus_ < 0 && slider.enabled) focus_ = i;
  }
}

int32_t VolumeDialog::Clamp(int32_t volume) {
  return std::clamp(volume, kQuietest, kLoudest);
}

int VolumeDialog::PositionOf(int32_t volume) {
  return (Clamp(volume) - kQuietest) / kLine;
}

int32_t VolumeDialog::Moved(int32_t volume, TrackbarMove move, int position) {
  const int32_t from = Clamp(volume);
  int32_t to = from;
  switch (move) {
    case TrackbarMove::kLineUp:
      to = std::max(from - kLine, kQuietest);
      break;
    case TrackbarMove::kLineDown:
      to = std::min(from + kLine, kLoudest);
      break;
    case TrackbarMove::kPageUp:
      to = std::max(from - kPage, kQuietest);
      break;
    case TrackbarMove::kPageDown:
      to = std::min(from + kPage, kLoudest);
      break;
    case TrackbarMove::kThumbPosition:
    case TrackbarMove::kThumbTrack:
      return (std::clamp(position, 0, 10) - 10) * kLine;
    case TrackbarMove::kTop:
      to = kQuietest;
      break;
    case TrackbarMove::kBottom:
      to = kLoudest;
      break;
  }
  // A volume outside the range (set by hand in the settings file) stays where it is when
  // the move would take it the wrong way.
  if (TowardsQuiet(move)) return std::min(volume, to);
  if (TowardsLoud(move)) return std::max(volume, to);
  return to;
}

int VolumeDialog::ChannelOf(int slider) {
  switch (slider) {
    case 0:
      return SoundManager::kMusic;
    case 1:
      return SoundManager::kEffect1;
    default:
      return SoundManager::kVoice;
  }
}

platform::Rect VolumeDialog::SliderRect(int slider) {
  return kSliderRects[static_cast<size_t>(std::clamp(slider, 0, kSliders - 1))];
}

Rect VolumeDialog::closeBox() const {
  return {kCaptionBar.right - 2 - kCloseWidth, kFrame + 2, kCaptionBar.right - 2,
          kFrame + 2 + kCloseHeight};
}

void VolumeDialog::Render() {
  platform::UiCanvas canvas(pixels_, kWidth, kHeight);
  canvas.DialogFrame({0, 0, kWidth, kHeight}, kCaptionBar, kCaption, closeBox(), close_pressed_);
  for (const Label& label : kLabels)
    canvas.Text({label.rect.left, label.rect.top}, label.text, ui::kBlack, label.rect);
  for (int i = 0; i < kSliders; ++i) sliders_[static_cast<size_t>(i)].Draw(canvas, i == focus_);
}

void VolumeDialog::Refresh() {
  Render();
  if (window_ != platform::kNoWindow)
    platform::DrawOverWindow(window_, pixels_, kWidth, kHeight, kOrigin);
}

bool VolumeDialog::Run(platform::WindowId window, Waiter& waiter) {
  const Rect area{kOrigin.x, kOrigin.y, kOrigin.x + kWidth, kOrigin.y + kHeight};
  window_ = window;
  platform::SetWindowCovers(window, std::span(&area, 1));
  Refresh();
  bool quit = false;
  while (!closed_) {
    if (!waiter.PumpWaiting()) {
      quit = true;
      break;
    }
  }
  if (dragging_ >= 0 || close_held_) platform::ReleaseCapture();
  dragging_ = -1;
  close_held_ = close_pressed_ = false;
  platform::SetWindowCovers(window, {});
  window_ = platform::kNoWindow;
  // The game's picture comes back where the dialog was.
  platform::InvalidateRect(window, area);
  platform::UpdateWindow(window);
  return !quit;
}

void VolumeDialog::Move(int index, TrackbarMove move, int position) {
  if (index < 0 || index >= kSliders) return;
  Trackbar& slider = sliders_[static_cast<size_t>(index)];
  if (!slider.enabled) return;
  const int channel = ChannelOf(index);
  const int32_t volume = Moved(sound_.GetChannelVolume(channel), move, position);
  sound_.SetChannelVolume(channel, volume, true);
  slider.position = PositionOf(volume);
  Refresh();
}

void VolumeDialog::MoveFocus(bool backwards) {
  if (focus_ < 0) return;
  for (int step = 1; step <= kSliders; ++step) {
    const int next = (focus_ + (backwards ? kSliders - step : step)) % kSliders;
    if (sliders_[static_cast<size_t>(next)].enabled) {
      focus_ = next;
      break;
    }
  }
  Refresh();
}

void VolumeDialog::OnButtonDown(Point at) {
  if (closeBox().Contains(at)) {
    close_held_ = close_pressed_ = true;
    platform::SetCapture(window_);
    Refresh();
    return;
  }
  for (int i = 0; i < kSliders; ++i) {
    const Trackbar& slider = sliders_[static_cast<size_t>(i)];
    if (!slider.enabled || !slider.rect.Contains(at)) continue;
    focus_ = i;
    const Rect thumb = slider.Thumb();
    if (at.x >= thumb.left && at.x < thumb.right) {
      dragging_ = i;
      drag_offset_ = at.x - slider.CentreOf(slider.position);
      platform::SetCapture(window_);
      Refresh();
    } else {
      Move(i, at.x < thumb.left ? TrackbarMove::kPageUp : TrackbarMove::kPageDown);
    }
    return;
  }
}

void VolumeDialog::OnMouseMove(Point at) {
  if (close_held_) {
    const bool over = closeBox().Contains(at);
    if (over != close_pressed_) {
      close_pressed_ = over;
      Refresh();
    }
    return;
  }
  if (dragging_ < 0) return;
  const Trackbar& slider = sliders_[static_cast<size_t>(dragging_)];
  const int position = slider.PositionAt(at.x - drag_offset_);
  if (position != slider.position) Move(dragging_, TrackbarMove::kThumbTrack, position);
}

void VolumeDialog::OnButtonUp(Point at) {
  if (close_held_) {
    close_held_ = false;
    platform::ReleaseCapture();
    if (closeBox().Contains(at)) closed_ = true;
    close_pressed_ = false;
    Refresh();
    return;
  }
  if (dragging_ < 0) return;
  const int index = std::exchange(dragging_, -1);
  platform::ReleaseCapture();
  const Trackbar& slider = sliders_[static_cast<size_t>(index)];
  Move(index, TrackbarMove::kThumbPosition, slider.PositionAt(at.x - drag_offset_));
}

bool VolumeDialog::OnInput(const platform::Message& message) {
  const Point client = platform::UnpackPoint(message.lparam);
  const Point at{client.x - kOrigin.x, client.y - kOrigin.y};
  switch (message.kind) {
    case Msg::KeyDown: {
      const auto key = static_cast<Key>(message.wparam & 0xFF);
      if (key == Key::Escape) {
        closed_ = true;
      } else if (key == Key::Tab) {
        MoveFocus(platform::KeyDownAtMessage(Key::Shift));
      } else if (const auto move = TrackbarMoveOfKey(key); move && dragging_ < 0) {
        Move(focus_, *move);
      }
      return true;
    }
    case Msg::LButtonDown:
      OnButtonDown(at);
      return true;
    case Msg::MouseMove:
      OnMouseMove(at);
      return true;
    case Msg::LButtonUp:
      OnButtonUp(at);
      return true;
    default:
      // Characters, the right button and the wheel do nothing here.
      return true;
  }
}

}  // namespace tvx
