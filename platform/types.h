// Basic types of the platform layer: windows, messages, keys, rectangles and pixels.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tvx::platform {

// A window of this program; 0 is "no window" (and, as an owner, the desktop).
using WindowId = uint32_t;
inline constexpr WindowId kNoWindow = 0;

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point&) const = default;
};

// Left, top, right and bottom edges; right and bottom are exclusive.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool operator==(const Rect&) const = default;
};
Rect Union(const Rect& a, const Rect& b);
Rect Intersect(const Rect& a, const Rect& b);

// Virtual key codes: the numbers that key messages carry in wparam. Letters are their
// capital ASCII codes; the other keys have fixed numbers of their own.
enum class Key : uint8_t {
  None = 0,
  Backspace = 0x08,
  Tab = 0x09,
  Enter = 0x0D,
  Shift = 0x10,
  Ctrl = 0x11,
  Alt = 0x12,
  Escape = 0x1B,
  Space = 0x20,
  PageUp = 0x21,
  PageDown = 0x22,
  End = 0x23,
  Home = 0x24,
  Left = 0x25,
  Up = 0x26,
  Right = 0x27,
  Down = 0x28,
  Delete = 0x2E,
  Digit0 = 0x30,  // '0'..'9' follow
  A = 0x41,       // 'A'..'Z' follow
  F1 = 0x70,      // F1..F12 follow
  F4 = 0x73,
  F10 = 0x79,
  F11 = 0x7A,
};
inline constexpr int kKeyCount = 256;
constexpr Key LetterKey(char upper) {
  return static_cast<Key>(static_cast<uint8_t>(upper));
}

enum class Msg : uint16_t {
  Null,
  Create,
  Destroy,
  Size,  // wparam: kSizeRestored / kSizeMinimized / kSizeMaximized
  SetFocus,
  KillFocus,
  Paint,
  Close,
  Quit,  // wparam: exit code
  SetCursor,
  KeyDown,  // wparam: Key
  KeyUp,
  Char,        // wparam: GBK character code (lead << 8 | trail for a double-byte one)
  SysKeyDown,  // a key pressed while Alt is held, or Alt / F10 themselves
  SysKeyUp,
  SysChar,
  Command,     // low word of wparam: command identifier
  SysCommand,  // wparam: kSc* (low four bits are free)
  MouseMove,   // lparam: client x | y << 16
  LButtonDown,
  LButtonUp,
  RButtonDown,
  RButtonUp,
  MouseWheel,  // high word of wparam: signed delta, 120 per notch
  User,
};

// The lparam of a Command message whose command the player chose in the command menu (an
// accelerator's carries 0).
inline constexpr int32_t kChosenInMenu = 1;

inline constexpr uint32_t kSizeRestored = 0;
inline constexpr uint32_t kSizeMinimized = 1;
inline constexpr uint32_t kSizeMaximized = 2;

// System commands, as the window manager asks for them.
inline constexpr uint32_t kScMinimize = 0xF020;
inline constexpr uint32_t kScMaximize = 0xF030;
inline constexpr uint32_t kScClose = 0xF060;
inline constexpr uint32_t kScKeyMenu = 0xF100;
inline constexpr uint32_t kScRestore = 0xF120;

struct Message {
  WindowId window = kNoWindow;
  Msg kind = Msg::Null;
  uint32_t wparam = 0;
  int32_t lparam = 0;
};

inline int32_t PackPoint(int32_t x, int32_t y) {
  return static_cast<int32_t>((static_cast<uint32_t>(y) << 16) |
                              (static_cast<uint32_t>(x) & 0xFFFF));
}
inline Point UnpackPoint(int32_t lparam) {
  return {static_cast<int16_t>(lparam & 0xFFFF), static_cast<int16_t>((lparam >> 16) & 0xFFFF)};
}

// A window procedure: a function with the context it was registered with.
struct WindowProc {
  intptr_t (*fn)(void* context, const Message& message) = nullptr;
  void* context = nullptr;
};

enum class WindowStyle : uint8_t {
  Popup,       // no caption, no border: covers the display in full-screen mode
  Overlapped,  // an ordinary decorated window
  Dialog,      // a decorated window of fixed size: caption with a close box, thin frame
};

// How far a window's frame (border and caption) reaches beyond its client area on each side.
struct FrameInsets {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const FrameInsets&) const = default;
};

struct WindowDesc {
  std::string title;  // GBK
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 640;  // client area, in pixels
  int32_t height = 480;
  WindowStyle style = WindowStyle::Popup;
  bool topmost = false;
  WindowId owner = kNoWindow;
  WindowProc proc;
};

enum class ShowCommand : uint8_t { Hide, Show, Minimize, Restore, Maximize };

enum class BoxButtons : uint8_t { Ok, OkCancel };
enum class BoxAnswer : uint8_t { Ok, Cancel };

// Cursor shapes: the standard arrow, or one of the program's cursor resources.
struct CursorShape {
  uint16_t resource = 0;  // 0: the standard arrow
  bool operator==(const CursorShape&) const = default;
};

// The picture of a cursor resource: 32-bit ARGB pixels with straight alpha, rows top-down;
// the hot spot is the pixel that points.
struct CursorImage {
  std::span<const uint32_t> argb;
  int32_t width = 0;
  int32_t height = 0;
  Point hotspot;
};

// A picture in the engine's pixel format: 16-bit 5-5-5, rows stored bottom-up
// (row y starts at (height - y - 1) * width).
struct PixelView {
  std::span<const uint16_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
};

struct LocalTime {
  int year = 0, month = 0, day = 0, weekday = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

}  // namespace tvx::platform
