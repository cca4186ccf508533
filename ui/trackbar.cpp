#include "ui/trackbar.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ui_canvas.h"

namespace tvx {

using platform::Key;
using platform::Rect;
namespace ui = platform::ui;

namespace {

// Metrics in pixels, for a control about 44 pixels tall.
constexpr int32_t kChannelInset = 8;  // from the control's sides to the channel's ends
constexpr int32_t kChannelHeight = 4;
constexpr int32_t kThumbWidth = 11;
constexpr int32_t kThumbHalfHeight = 10;
constexpr int32_t kTickGap = 2;  // between the thumb and the ticks
constexpr int32_t kTickLength = 3;
constexpr int32_t kEndTickLength = 4;  // the ticks at both ends stand out a little

}  // namespace

std::optional<TrackbarMove> TrackbarMoveOfKey(Key key) {
  switch (key) {
    case Key::Left:
    case Key::Up:
      return TrackbarMove::kLineUp;
    case Key::Right:
    case Key::Down:
      return TrackbarMove::kLineDown;
    case Key::PageUp:
      return TrackbarMove::kPageUp;
    case Key::PageDown:
      return TrackbarMove::kPageDown;
    case Key::Home:
      return TrackbarMove::kTop;
    case Key::End:
      return TrackbarMove::kBottom;
    default:
      return std::nullopt;
  }
}

Rect Trackbar::Channel() const {
  const int32_t middle = rect.top + rect.Height() / 2;
  return {rect.left + kChannelInset, middle - kChannelHeight / 2, rect.right - kChannelInset,
          middle + kChannelHeight / 2};
}

int32_t Trackbar::CentreOf(int at) const {
  const Rect channel = Channel();
  const int32_t first = channel.left + kThumbWidth / 2 + 1;
  const int32_t last = channel.right - kThumbWidth / 2 - 2;
  if (max <= 0) return first;
  return first + (last - first) * std::clamp(at, 0, max) / max;
}

Rect Trackbar::ThumbAt(int at) const {
  const int32_t centre = CentreOf(at);
  const int32_t middle = rect.top + rect.Height() / 2;
  return {centre - kThumbWidth / 2, middle - kThumbHalfHeight, centre + kThumbWidth / 2 + 1,
          middle + kThumbHalfHeight};
}

int Trackbar::PositionAt(int32_t x) const {
  int best = 0;
  for (int at = 1; at <= max; ++at)
    if (std::abs(CentreOf(at) - x) < std::abs(CentreOf(best) - x)) best = at;
  return best;
}

void Trackbar::Draw(platform::UiCanvas& canvas, bool focused) const {
  canvas.Fill(rect, ui::kFace);
  const Rect channel = Channel();
  canvas.Edge(channel, ui::kShadow, ui::kWhite);
  canvas.Edge(platform::Shrink(channel, 1), ui::kBlack, ui::kFace);

  const Rect thumb = Thumb();
  const uint16_t tick_colour = enabled ? ui::kBlack : ui::kShadow;
  for (int at = 0; at <= max; ++at) {
    const int32_t x = CentreOf(at);
    const int32_t length = at == 0 || at == max ? kEndTickLength : kTickLength;
    const int32_t above = thumb.top - kTickGap;
    const int32_t below = thumb.bottom + kTickGap;
    canvas.Fill({x, above - length, x + 1, above}, tick_colour);
    canvas.Fill({x, below, x + 1, below + length}, tick_colour);
  }

  canvas.Raised(thumb);
  if (!enabled) {
    // A greyed thumb is hatched in white and face grey, as disabled controls are.
    const Rect inside = platform::Shrink(thumb, 2);
    for (int32_t y = inside.top; y < inside.bottom; ++y)
      for (int32_t x = inside.left; x < inside.right; ++x)
        if ((x + y) % 2 == 0) canvas.Put(x, y, ui::kWhite);
  }
  if (focused) canvas.Dotted(rect);
}

}  // namespace tvx
