// The script's animation slots and the animated mouse cursor.
//
// A 10 × 10 table of slots, each playing a little program of 16-bit commands that the script
// placed in its data block (system pointer 2): waits, loops, and frames copied from plane 1
// onto the screen plane. The 15 ms clock steps every running slot once per tick on its own
// thread while the script goes on; the script starts, stops and rewinds slots through system
// call 3 and stops them all around screen changes.
//
// Threads: Tick and CursorTick run on the clock thread, everything else on the program
// thread. One lock keeps a step and the script's changes to the slots apart, so a StopAll
// that returns has no step under way; frames take the plane lock one copy at a time. What
// the clock needs of the variables (the run switch, the key colour, the data block) is
// handed over by the program thread in Observe, before every command, so that the clock
// never reads the words the script is writing.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>

namespace tvx {

class VariableArea;
class VramPlaneSet;

class AnimationTable {
 public:
  static constexpr uint16_t kStopped = 255;
  static constexpr uint16_t kRepeat = 0;
  static constexpr uint16_t kOnce = 1;
  static constexpr uint16_t kUntilEnd = 2;
  static constexpr uint32_t kRows = 10;
  static constexpr uint32_t kColumns = 10;

  AnimationTable(VramPlaneSet& planes, VariableArea& variables);
  AnimationTable(const AnimationTable&) = delete;
  AnimationTable& operator=(const AnimationTable&) = delete;

  // ---- Program thread ----
  // Hands the clock what it reads of the variables: bit 0x0004 of the system flags, the key
  // colour, where the animation data lies. Called before every command, so it reads the
  // words in place and stores only what changed.
  void Observe() {
    const bool running = (words_[2 * kFlagsWord] & kRunBit) != 0;
    const auto key = static_cast<uint16_t>(words_[2 * kKeyWord] | words_[2 * kKeyWord + 1] << 8);
    const uint32_t block = static_cast<uint32_t>(block_word_[0]) | block_word_[1] << 8 |
                           block_word_[2] << 16 | static_cast<uint32_t>(block_word_[3]) << 24;
    if (running_.load(std::memory_order_relaxed) != running)
      running_.store(running, std::memory_order_relaxed);
    if (key_colour_.load(std::memory_order_relaxed) != key)
      key_colour_.store(key, std::memory_order_relaxed);
    if (block_.load(std::memory_order_relaxed) != block)
      block_.store(block, std::memory_order_relaxed);
  }
  // Points the slot at its program and resets it, stopped. Rows and columns outside 0-9 are
  // ignored by every slot operation.
  void LoadSlot(uint32_t row, uint32_t column);
  // Sets the state: kRepeat, kOnce or kUntilEnd (the caller then waits for kStopped).
  void StartSlot(uint32_t row, uint32_t column, uint16_t state);
  void StopSlot(uint32_t row, uint32_t column);
  // The slot's state; kStopped for slots outside the table.
  uint16_t SlotState(uint32_t row, uint32_t column) const;
  // Whether LoadSlot has given the slot a program.
  bool SlotLoaded(uint32_t row, uint32_t column) const;
  void MakeAllRunOnce();
  // Every slot that was not stopped starts again from its beginning (its first frame drawn)
  // in state kRepeat.
  void RewindAll();
  // RewindAll, then every slot stopped.
  void StopAll();
  // Draws the first frame of the slot's program keyed onto the text target plane.
  void DrawFirstFrame(uint32_t row, uint32_t column);
  // The animated cursor starts over from `id`.
  void SetCursorBase(uint16_t id);

  // ---- Clock thread ----
  // One step of every running slot, while the script lets them run.
  void Tick();
  // One tick of the animated cursor with base `base`: the cursor image to show now
  // (alternating base + 1 and base, each held for about half a second).
  uint16_t CursorTick(uint16_t base);

  // ---- Any thread ----
  // The animated cursor's current image.
  uint16_t CurrentCursorFrame() const { return cursor_current_.load(std::memory_order_acquire); }
  // While the returned guard lives no slot steps, and none is under way: the script is
  // replacing the bytes that slot programs are read from (data files, scripts). The clock's
  // ticks meanwhile pass without steps, as when the script stops the slots from running.
  class StepPause {
   public:
    explicit StepPause(AnimationTable* table) : table_(table) {}
    StepPause(const StepPause&) = delete;
    StepPause& operator=(const StepPause&) = delete;
    ~StepPause() {
      if (table_) table_->paused_.fetch_sub(1, std::memory_order_release);
    }

   private:
    AnimationTable* table_;
  };
  [[nodiscard]] StepPause PauseSteps();

 private:
  struct Slot {
    uint16_t state = kStopped;
    uint16_t wait = 0;
    uint64_t stream = 0;  // image offset of the program's first command
    uint32_t position = 0;
    uint32_t loop1Start = 0;
    uint32_t loop2Start = 0;
    uint16_t loop1Count = 0;
    uint16_t loop2Count = 0;
    bool loaded = false;
  };
  struct Frame {
    uint8_t type = 0;
    uint16_t sx = 0, sy = 0, w = 0, h = 0, dx = 0, dy = 0;
  };

  static bool Inside(uint32_t row, uint32_t column) { return row < kRows && column < kColumns; }
  // The program's first command in the image, from the data block's table.
  uint64_t StreamOf(size_t index) const;
  // The 16-bit command at `position` of the slot's program; an end where the image ends.
  uint16_t Command(const Slot& slot, uint32_t position) const;
  bool ReadFrame(uint32_t number, Frame& frame) const;
  void Step(Slot& slot);
  void DrawFrame(uint32_t number);
  void Reset(Slot& slot, size_t index) const;
  void RewindLocked();

  // Where Observe finds the system words and the data block's pointer.
  static constexpr size_t kFlagsWord = 2;
  static constexpr size_t kKeyWord = 23;
  static constexpr uint8_t kRunBit = 0x04;

  VramPlaneSet& planes_;
  VariableArea& variables_;
  std::span<const uint8_t> image_;
  const uint8_t* words_;
  const uint8_t* block_word_;
  mutable std::mutex mutex_;
  std::array<Slot, kRows * kColumns> slots_{};
  // Row scratch of swapped frames: as wide as the widest plane.
  std::array<uint16_t, 1000> scratch_row_{};

  // What Observe hands over.
  std::atomic<bool> running_{false};
  std::atomic<int> paused_{0};
  std::atomic<uint16_t> key_colour_{0};
  std::atomic<uint32_t> block_{0};

  // The animated cursor.
  uint16_t cursor_frame_ = 0;
  uint32_t cursor_hold_ = 0;
  std::atomic<uint16_t> cursor_current_{0};
};

}  // namespace tvx
