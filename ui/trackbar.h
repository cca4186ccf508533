// A horizontal slider in the engine's interface look: a sunken channel, a thumb that stands on
// one of the positions 0..max, and a tick mark for every position on both sides. It knows its
// geometry and draws itself; what a move means is up to the dialog that owns it.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/types.h"

namespace tvx {

namespace platform {
class UiCanvas;
}

// The ways a slider is moved, as the keyboard and the mouse ask for them.
enum class TrackbarMove : uint8_t {
  kLineUp,         // Left, Up: one position towards 0
  kLineDown,       // Right, Down: one position towards max
  kPageUp,         // PageUp, or a click in the channel left of the thumb
  kPageDown,       // PageDown, or a click right of it
  kThumbPosition,  // the thumb let go at a position
  kThumbTrack,     // the thumb dragged to a position
  kTop,            // Home: position 0
  kBottom,         // End: position max
};

// The move a key asks for; nothing for keys a slider does not take.
std::optional<TrackbarMove> TrackbarMoveOfKey(platform::Key key);

struct Trackbar {
  platform::Rect rect;  // the whole control, in the coordinates of the picture it is drawn on
  int position = 0;
  int max = 10;
  bool enabled = true;

  // The groove the thumb runs in.
  platform::Rect Channel() const;
  // The thumb where it stands now.
  platform::Rect Thumb() const { return ThumbAt(position); }
  platform::Rect ThumbAt(int at) const;
  // The x of the thumb's middle at a position.
  int32_t CentreOf(int at) const;
  // The position whose thumb middle is nearest to x (0..max).
  int PositionAt(int32_t x) const;
  // Draws the control; `focused` adds the dotted focus outline.
  void Draw(platform::UiCanvas& canvas, bool focused) const;
};

}  // namespace tvx
