// The volume dialog "音量控制": three sliders for the music, effect and voice volumes, drawn on
// top of the main window while the game's picture goes on changing around it. Every move of a
// slider sets the channel's volume at once and makes it the remembered one; there is no cancel.
// Closing it (Escape, the close box) keeps what was set; the caller then saves the remembered
// volumes.
//
// A slider stands on positions 0..10 for the volumes -5000..0 (hundredths of a decibel):
// volume = (position - 10) * 500. The music and effect sliders are greyed while music and
// effects are switched off, the voice slider while the voice is.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/types.h"
#include "ui/modal_input.h"
#include "ui/trackbar.h"

namespace tvx {

class SoundManager;
class Waiter;

class VolumeDialog final : public ModalInput {
 public:
  static constexpr int kSliders = 3;  // music, effect, voice, top to bottom
  static constexpr int32_t kQuietest = -5000;
  static constexpr int32_t kLoudest = 0;
  static constexpr int32_t kLine = 500;  // one position
  static constexpr int32_t kPage = 1000;

  // The picture and where it goes on the 640 × 480 client area: centred.
  static constexpr int32_t kWidth = 237;
  static constexpr int32_t kHeight = 240;
  static constexpr platform::Point kOrigin{(640 - kWidth) / 2, (480 - kHeight) / 2};

  // The sliders stand where `sound`'s remembered volumes are now; a switched-off part's
  // sliders are greyed.
  VolumeDialog(SoundManager& sound, bool music_and_effects_on, bool voice_on);

  // Shows the dialog over `window` and runs until it is closed (true) or the program quits
  // (false). The window's covers are taken away again and the area repainted by the game.
  bool Run(platform::WindowId window, Waiter& waiter);

  bool OnInput(const platform::Message& message) override;

  // A volume brought into the sliders' range.
  static int32_t Clamp(int32_t volume);
  // Where a slider stands for a volume (0..10).
  static int PositionOf(int32_t volume);
  // The volume after a move from `volume`; `position` is where a dragged thumb stands. Steps
  // go from the volume brought into range, and a move never goes the other way: towards the
  // quiet end never louder, towards the loud end never quieter, whatever was remembered.
  static int32_t Moved(int32_t volume, TrackbarMove move, int position);
  // The sound channel of a slider: 0 music, 2 effects (both effect streams), 1 voice.
  static int ChannelOf(int slider);
  // Where a slider lies in the dialog picture.
  static platform::Rect SliderRect(int slider);

  const Trackbar& slider(int index) const { return sliders_[static_cast<size_t>(index)]; }
  // The focused slider, -1 for none (every slider greyed).
  int focus() const { return focus_; }
  bool closed() const { return closed_; }
  // The caption bar's close box, in the dialog picture's coordinates.
  platform::Rect closeBox() const;
  // The dialog picture: kWidth × kHeight, rows top-down.
  std::span<const uint16_t> picture() const { return pixels_; }
  // Draws the picture from the present state (Run and every change do this).
  void Render();

 private:
  void Move(int index, TrackbarMove move, int position = 0);
  void MoveFocus(bool backwards);
  void OnButtonDown(platform::Point at);
  void OnMouseMove(platform::Point at);
  void OnButtonUp(platform::Point at);
  // Renders and, while shown, draws over the window.
  void Refresh();

  SoundManager& sound_;
  std::array<Trackbar, kSliders> sliders_;
  std::vector<uint16_t> pixels_;
  platform::WindowId window_ = platform::kNoWindow;
  int focus_ = -1;
  int dragging_ = -1;           // the slider whose thumb is held
  int32_t drag_offset_ = 0;     // from the thumb's middle to where it was taken
  bool close_held_ = false;     // the close box was pressed and the button is still down
  bool close_pressed_ = false;  // ... and the pointer is over it
  bool closed_ = false;
};

}  // namespace tvx
