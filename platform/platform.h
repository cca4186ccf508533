// The platform layer's operations, as the engine uses them. One backend is installed per
// process at a time (Install); everything here then works on the program thread.
//
// Windows have a procedure and a client framebuffer; one FIFO queue holds the messages of
// all windows and is read one message at a time. Backends feed input through input_sink.h.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/backend.h"
#include "platform/framebuffer.h"
#include "platform/types.h"

namespace tvx::platform {

// Installs a backend and resets all platform state (windows, queue, input, accelerators).
void Install(std::unique_ptr<Backend> backend);
// Destroys every window and removes the backend.
void Uninstall();
bool Installed();
Backend& CurrentBackend();

// ---- Windows and messages ----
// Creates a window; its procedure receives Create before this returns. kNoWindow on failure.
WindowId CreateWindow(const WindowDesc& desc);
// Sends Destroy to the window and removes it; false when there is no such window.
bool DestroyWindow(WindowId window);
bool IsWindow(WindowId window);
void ShowWindow(WindowId window, ShowCommand command);
bool IsMinimized(WindowId window);
bool IsVisible(WindowId window);
// The window's own rectangle (screen coordinates, client area).
Rect WindowRect(WindowId window);
// The frame a decorated window is given when the window system tells none: a thin border
// and a caption bar, as a dialog with a caption has them.
inline constexpr FrameInsets kNominalFrame{3, 22, 3, 3};
// The window's frame rectangle (screen coordinates): its client area with the border and
// caption around it. A pop-up window has no frame.
Rect FrameRect(WindowId window);
// Moves the window so that its frame's top-left corner lies at `frame_origin`; nothing is
// repainted.
void MoveWindow(WindowId window, Point frame_origin);
// The screen: (0, 0) to its width and height.
Rect ScreenRect();

// Removes the oldest message if there is one. Backend events are taken in first.
std::optional<Message> PeekMessage(bool remove = true);
// Appends a message to the queue; safe from any thread.
void PostMessage(WindowId window, Msg kind, uint32_t wparam = 0, int32_t lparam = 0);
// Calls the window's procedure at once and returns its result (0 for no such window).
intptr_t SendMessage(WindowId window, Msg kind, uint32_t wparam = 0, int32_t lparam = 0);
intptr_t DispatchMessage(const Message& message);
// Posts a character message for a key that produces one (none while text input is on).
bool TranslateMessage(const Message& message);
// Text input, for a prompt that takes typed text: while it is on, what the player types
// arrives as Char messages, one per character with its GBK code (input_sink.h Text), and
// keys make no Char messages of their own. Off at start.
void StartTextInput();
void StopTextInput();
bool TextInputActive();
void PostQuitMessage(int32_t exit_code);
size_t QueuedMessageCount();
// What a window procedure does with messages it does not handle itself: Alt+F4 becomes the
// close command, system commands minimize, restore, maximize or close the window, Close
// destroys it.
intptr_t DefaultWindowProc(const Message& message);

// ---- Accelerators ----
enum AcceleratorModifier : uint8_t { kModNone = 0, kModShift = 1, kModCtrl = 2, kModAlt = 4 };
struct Accelerator {
  Key key;
  uint8_t modifiers;
  uint16_t command;
};
// The process-wide table that TranslateAccelerator consults.
void SetAccelerators(std::span<const Accelerator> table);
// A key-down message matching an entry sends Command(entry) to `target`; true if it did.
bool TranslateAccelerator(WindowId target, const Message& message);

// ---- Painting ----
Framebuffer* WindowFramebuffer(WindowId window);
// Adds the rectangle (or the whole client area) to the window's update region.
void InvalidateRect(WindowId window, std::optional<Rect> rect = std::nullopt);
// Sends Paint at once when the update region is not empty.
void UpdateWindow(WindowId window);
// Takes and clears the update region (what a paint handler paints).
Rect BeginPaint(WindowId window);
// Copies part of a picture into the window's client area (at dest, clipped).
void CopyToWindow(WindowId window, const PixelView& source, const Rect& source_rect, Point dest);
// Parts of the window's client area that a menu or dialog drawn on top of it holds:
// CopyToWindow leaves them alone until the covers are taken away (an empty list).
void SetWindowCovers(WindowId window, std::span<const Rect> covers);
// Draws a picture with rows stored top-down onto the client area at `at`, over any cover.
void DrawOverWindow(WindowId window, std::span<const uint16_t> top_down, int32_t width,
                    int32_t height, Point at);
// Shows what changed in every framebuffer. The queue does this on every look.
void PresentDirty();

// ---- Input state ----
// Whether the key is down now.
bool IsKeyDown(Key key);
// Whether the key was down as of the key message taken from the queue last: what the handling
// of that message (accelerators, characters, Alt+F4) goes by, however far input has moved on.
bool KeyDownAtMessage(Key key);
// Down now, or pressed since the previous query of this key; the query resets the latch.
bool AsyncKeyState(Key key);
Point CursorPos();  // screen coordinates
Point ScreenToClient(WindowId window, Point screen);
void SetCursorPos(Point screen);
// ShowCursor semantics: the display counter goes up or down by one; the cursor shows while
// it is at least 0. Returns the new counter.
int ShowCursor(bool show);
int CursorCounter();
// Cursor resources have the pictures registered for them; a resource without one shows the
// standard arrow instead, so that the pointer never vanishes for want of a picture.
void SetCursor(CursorShape shape);
// What the cursor shows now: the arrow ({0}) or a resource that has a picture.
CursorShape CurrentCursor();
// Gives cursor resource `id` (not 0) a picture; false, and the resource stays as it was,
// when the picture is not whole (fewer pixels than its size, the hot spot outside it) or the
// backend cannot make the cursor. Uninstall forgets every picture.
bool RegisterCursorImage(uint16_t id, const CursorImage& image);
bool HasCursorImage(uint16_t id);
WindowId SetCapture(WindowId window);  // returns the previous holder
void ReleaseCapture();
WindowId Capture();
WindowId FocusWindow();
// True while a window of this program is active (the game is in the foreground).
bool HasActiveWindow();

// ---- Boxes, display mode ----
BoxAnswer MessageBox(WindowId owner, std::string_view caption_gbk, std::string_view text_gbk,
                     BoxButtons buttons);
struct RecordedBox {
  std::string caption;  // GBK
  std::string text;     // GBK
  BoxButtons buttons = BoxButtons::Ok;
  BoxAnswer answer = BoxAnswer::Ok;
  uint32_t time = 0;  // TickCount when it was shown
  WindowId owner = kNoWindow;
};
// The first kKeptBoxes boxes shown since the backend was installed, in order (the run tool's
// record); the rest are only counted, so that a game that shows boxes in a loop does not fill
// the memory.
inline constexpr size_t kKeptBoxes = 1000;
const std::vector<RecordedBox>& ShownBoxes();
// The boxes shown after the first kKeptBoxes.
uint64_t BoxesNotKept();
// Forgets the boxes recorded so far, kept and counted: for a harness that plays one game
// after another on the same platform and looks at each game's boxes alone.
void ForgetShownBoxes();

// Calls `expired` once, from the queue, when TickCount reaches `tick` (a run with a time
// limit ends the game through it). `tick` counts from the start of the tick clock in 64 bits:
// a limit beyond 2^31 or 2^32 ms waits that long. nullptr clears it.
void SetDeadline(uint64_t tick, void (*expired)(void* context), void* context);
bool SetFullscreen(WindowId window, bool fullscreen);
// The window over the whole desktop, without a switch of the display mode.
bool SetDesktopFullscreen(WindowId window, bool on);

// ---- Sound ----
// Connects a device to the backend's sound output, one device at a time; false when the
// backend has no output. Uninstall disconnects it too.
bool OpenSoundOutput(SoundDevice& device);
void CloseSoundOutput(SoundDevice& device);

// ---- Time ----
uint32_t TickCount();
void Sleep(uint32_t milliseconds);
void IdleWait();
// IdleWait for a loop that only input or a wake can end: it rests through the clock's passes.
void IdleWaitForInput();
// Ends the program thread's current or next IdleWait early, from any thread: called when a
// sound stops or the clock changed what a waiting loop shows or looks at, so that the loop
// carries it out at once.
void WakeIdleWait();
LocalTime Now();

}  // namespace tvx::platform
