// The platform core's process-wide state (internal to platform/).
#pragma once

#include <array>
#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/platform.h"

namespace tvx::platform::detail {

struct WindowRecord {
  WindowDesc desc;
  Framebuffer framebuffer;
  Rect update;  // the update region, as one rectangle
  bool visible = false;
  bool minimized = false;
};

struct State {
  std::unique_ptr<Backend> backend;
  SoundDevice* sound_device = nullptr;  // connected to the backend's sound output
  std::map<WindowId, WindowRecord> windows;
  WindowId next_window = 1;
  // Set when a window's picture changed or a window was shown since the last presentation
  // pass: the pass, made before every command, is skipped while it is clear.
  bool present_pending = false;

  std::mutex queue_mutex;
  std::deque<Message> queue;
  std::atomic<size_t> queued{0};

  std::vector<Accelerator> accelerators;
  std::vector<RecordedBox> boxes;  // the first kKeptBoxes
  uint64_t boxes_not_kept = 0;
  // The time limit counts in 64 bits from the tick at which it was set, so that a limit past
  // 2^31 ms is not taken for one already passed and the 32-bit tick may wrap under it.
  uint64_t deadline_after = 0;    // milliseconds from the tick at which it was set
  uint64_t deadline_elapsed = 0;  // since that tick
  uint32_t deadline_last_tick = 0;
  void (*deadline_expired)(void*) = nullptr;
  void* deadline_context = nullptr;

  // Input.
  std::array<bool, kKeyCount> key_down{};          // the keyboard as it is now
  std::array<bool, kKeyCount> key_latch{};         // pressed since the last asynchronous query
  std::array<bool, kKeyCount> message_key_down{};  // as of the last key message taken
  Point cursor;                                    // screen coordinates
  int cursor_counter = 0;
  CursorShape cursor_shape;
  std::set<uint16_t> cursor_images;  // the resources whose pictures the backend took
  WindowId capture = kNoWindow;
  WindowId focus = kNoWindow;
  bool text_input = false;  // typed text arrives as characters (StartTextInput)
};

// Inline, as every call into the platform starts here. Never destroyed: window procedures of
// objects with static storage may still run late.
inline State& Get() {
  static State* const state = new State;
  return *state;
}
WindowRecord* Find(WindowId window);

// The clock passed and passes again `period_ms` on (0: no more); IdleWait ends just after.
void NoteClockPass(uint32_t period_ms);

}  // namespace tvx::platform::detail
