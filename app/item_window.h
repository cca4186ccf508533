// The item window: a small decorated window owned by the game's window that shows the item
// bar, the picture of plane 7. The scripts create it (hidden) and show or hide it; closing
// it or pressing Space in it only hides it. It stays where the player left it from one game
// to the next (settings "ITEMWIN" "X" and "Y", its frame's top-left corner).
#pragma once

#include <cstdint>

#include "platform/framebuffer.h"
#include "platform/settings_file.h"
#include "platform/types.h"

namespace tvx {

class GameSystem;

class ItemWindow {
 public:
  static constexpr int32_t kWidth = 320;  // client area: the size of plane 7
  static constexpr int32_t kHeight = 32;
  static constexpr uint32_t kPlane = 7;

  explicit ItemWindow(GameSystem& system) : system_(system) {}
  ItemWindow(const ItemWindow&) = delete;
  ItemWindow& operator=(const ItemWindow&) = delete;
  ~ItemWindow();

  // Creates the window hidden, where the settings put it (raised to the screen's top-left
  // corner and lowered so that the whole window stays on the screen); nothing when it exists.
  void Create();
  // Plays the window sound and shows the window; nothing when it does not exist.
  void Show();
  // Plays the closing sound and hides the window, unless it is neither shown nor created.
  void Hide();
  // Paints the item bar anew at once.
  void Redraw();
  // Writes where the window's frame lies to the settings, when the window exists.
  void SavePosition();

  bool exists() const;
  bool shown() const { return shown_; }
  platform::WindowId handle() const { return handle_; }
  // Mouse buttons pressed on the window and held since (it holds the mouse capture).
  bool leftCapture() const { return left_capture_; }
  bool rightCapture() const { return right_capture_; }
  // The client area as last painted, kept when the window goes; null before it was created.
  const platform::Framebuffer* picture() const;

 private:
  static intptr_t Procedure(void* context, const platform::Message& message);
  intptr_t Handle(const platform::Message& message);
  void Paint(platform::WindowId window);

  GameSystem& system_;
  SettingsFile settings_;
  platform::WindowId handle_ = platform::kNoWindow;
  bool shown_ = false;
  bool left_capture_ = false;
  bool right_capture_ = false;
  bool kept_ = false;
  platform::Framebuffer kept_picture_;
};

}  // namespace tvx
