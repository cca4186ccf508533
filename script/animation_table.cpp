#include "script/animation_table.h"

#include <algorithm>

#include "graphics/blitter.h"
#include "graphics/vram_plane_set.h"
#include "resources/byte_order.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

// Slot program commands.
enum : uint16_t {
  kNothing = 0,
  kEndIfOnce = 1,
  kWait = 2,
  kRestart = 3,
  kEnd = 4,
  kLoop1 = 5,
  kLoop1End = 6,
  kLoop2 = 7,
  kLoop2End = 8,
  kEndMark = 0xFFFF,
};

// The data block: a 2-byte word the engine skips, 100 program offsets, then the frame
// records of 17 bytes, frame F at 62 + 17 × F (the first used one, 20, at 402).
constexpr uint64_t kProgramTable = 2;
constexpr uint64_t kFrameBase = 62;
constexpr uint64_t kFrameSize = 17;

// Frame types (the high nibble of a record's first byte).
enum : uint8_t { kCopy = 0x10, kKeyed = 0x20, kSwap = 0x30, kComposite = 0x40 };

constexpr uint32_t kSheetPlane = 1;
constexpr uint32_t kHoldTicks = 32;

}  // namespace

AnimationTable::AnimationTable(VramPlaneSet& planes, VariableArea& variables)
    : planes_(planes),
      variables_(variables),
      image_(variables.image()),
      words_(variables.bytes().data() + VariableArea::kSystemWordsOffset),
      block_word_(variables.bytes().data() + VariableArea::kSystemPointersOffset + 4 * 2) {
  static_assert(kFlagsWord == kWordSystemFlags && kKeyWord == kWordKeyColour);
  static_assert(kRunBit == kFlagAnimationsRun);
}

uint64_t AnimationTable::StreamOf(size_t index) const {
  const uint64_t entry =
      uint64_t{block_.load(std::memory_order_relaxed)} + kProgramTable + 4 * index;
  if (entry + 4 > image_.size()) return image_.size();
  return uint64_t{block_.load(std::memory_order_relaxed)} + bytes::LoadLe32(image_, entry);
}

uint16_t AnimationTable::Command(const Slot& slot, uint32_t position) const {
  // A program that runs off the image ends there.
  const uint64_t at = slot.stream + 2 * uint64_t{position};
  if (at + 2 > image_.size()) return kEndMark;
  return bytes::LoadLe16(image_, at);
}

bool AnimationTable::ReadFrame(uint32_t number, Frame& frame) const {
  const uint64_t at = block_.load(std::memory_order_relaxed) + kFrameBase + kFrameSize * number;
  if (at + kFrameSize > image_.size()) return false;
  frame.type = image_[at] & 0xF0;
  auto field = [&](uint64_t i) { return bytes::LoadLe16(image_, at + 1 + 2 * i); };
  frame.sx = field(0);
  frame.sy = field(1);
  frame.w = field(2);
  frame.h = field(3);
  frame.dx = field(4);
  frame.dy = field(5);
  return true;
}

void AnimationTable::Reset(Slot& slot, size_t index) const {
  slot.wait = 0;
  slot.stream = StreamOf(index);
  slot.position = 0;
  slot.loop1Start = slot.loop2Start = 0;
  slot.loop1Count = slot.loop2Count = 0;
}

void AnimationTable::LoadSlot(uint32_t row, uint32_t column) {
  if (!Inside(row, column)) return;
  Observe();
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[row * kColumns + column];
  slot.state = kStopped;
  Reset(slot, row * kColumns + column);
  slot.loaded = true;
}

void AnimationTable::StartSlot(uint32_t row, uint32_t column, uint16_t state) {
  if (!Inside(row, column)) return;
  std::lock_guard lock(mutex_);
  slots_[row * kColumns + column].state = state;
}

void AnimationTable::StopSlot(uint32_t row, uint32_t column) {
  StartSlot(row, column, kStopped);
}

uint16_t AnimationTable::SlotState(uint32_t row, uint32_t column) const {
  if (!Inside(row, column)) return kStopped;
  std::lock_guard lock(mutex_);
  return slots_[row * kColumns + column].state;
}

bool AnimationTable::SlotLoaded(uint32_t row, uint32_t column) const {
  if (!Inside(row, column)) return false;
  std::lock_guard lock(mutex_);
  return slots_[row * kColumns + column].loaded;
}

void AnimationTable::MakeAllRunOnce() {
  std::lock_guard lock(mutex_);
  for (Slot& slot : slots_)
    if (slot.state != kStopped) slot.state = kOnce;
}

void AnimationTable::RewindLocked() {
  // The lock keeps the clock's steps out while the slots start over.
  for (size_t i = 0; i < slots_.size(); ++i) {
    Slot& slot = slots_[i];
    if (slot.state == kStopped) continue;
    slot.state = kRepeat;
    Reset(slot, i);
    Step(slot);  // draws the first frame of most programs
    slot.state = kRepeat;
    Reset(slot, i);
  }
}

void AnimationTable::RewindAll() {
  Observe();
  std::lock_guard lock(mutex_);
  RewindLocked();
}

void AnimationTable::StopAll() {
  Observe();
  std::lock_guard lock(mutex_);
  RewindLocked();
  for (Slot& slot : slots_) slot.state = kStopped;
}

void AnimationTable::DrawFirstFrame(uint32_t row, uint32_t column) {
  if (!Inside(row, column)) return;
  Observe();
  Frame frame;
  {
    std::lock_guard lock(mutex_);
    Slot probe;
    probe.stream = StreamOf(row * kColumns + column);
    const uint16_t first = Command(probe, 0);
    if (first < 20 || !ReadFrame(first, frame)) return;
  }
  // Whatever the frame's type, the first frame is a keyed copy onto the text target plane.
  const uint16_t target = variables_.Word(kWordTargetPlane);
  {
    std::lock_guard lock(planes_.pixelLock());
    blit::CopyRectKeyed(planes_.Get(kSheetPlane), {frame.sx, frame.sy, frame.w, frame.h},
                        planes_.Get(target), frame.dx, frame.dy,
                        key_colour_.load(std::memory_order_relaxed));
  }
  if (target == 0) planes_.PresentRect(frame.dx, frame.dy, frame.w, frame.h);
}

AnimationTable::StepPause AnimationTable::PauseSteps() {
  paused_.fetch_add(1, std::memory_order_acq_rel);
  // A step that began before the pause ends before this returns.
  std::lock_guard lock(mutex_);
  return StepPause(this);
}

void AnimationTable::Tick() {
  if (!running_.load(std::memory_order_relaxed)) return;
  std::lock_guard lock(mutex_);
  if (paused_.load(std::memory_order_acquire) != 0) return;
  for (Slot& slot : slots_)
    if (slot.state != kStopped) Step(slot);
}

void AnimationTable::Step(Slot& slot) {
  if (slot.wait > 0) {
    --slot.wait;
    return;
  }
  const uint16_t command = Command(slot, slot.position++);
  auto operand = [&] { return Command(slot, slot.position++); };
  switch (command) {
    case kNothing:
      return;
    case kEndIfOnce:
      if (slot.state == kOnce) slot.state = kStopped;
      return;
    case kWait:
      slot.wait = operand();
      return;
    case kRestart:
      slot.position = 0;
      return;
    case kEnd:
    case kEndMark:
      slot.state = kStopped;
      return;
    case kLoop1:
      slot.loop1Count = operand();
      slot.loop1Start = slot.position;
      return;
    case kLoop1End:
      if (--slot.loop1Count != 0) slot.position = slot.loop1Start;
      return;
    case kLoop2:
      slot.loop2Count = operand();
      slot.loop2Start = slot.position;
      return;
    case kLoop2End:
      if (--slot.loop2Count != 0) slot.position = slot.loop2Start;
      return;
    default:
      DrawFrame(command);
      return;
  }
}

void AnimationTable::DrawFrame(uint32_t number) {
  Frame f;
  if (!ReadFrame(number, f)) return;
  const blit::Rect16 block{f.sx, f.sy, f.w, f.h};
  {
    // One frame copy at a time under the plane lock. Plane 0 is the spare plane while the
    // script composes a screen unseen.
    std::lock_guard lock(planes_.pixelLock());
    VramPlane& sheet = planes_.Get(kSheetPlane);
    VramPlane& screen = planes_.Get(0);
    switch (f.type) {
      case kCopy:
        blit::CopyRect(sheet, block, screen, f.dx, f.dy);
        break;
      case kKeyed:
        blit::CopyRectKeyed(sheet, block, screen, f.dx, f.dy,
                            key_colour_.load(std::memory_order_relaxed));
        break;
      case kSwap:
        blit::SwapRect(sheet, block, screen, f.dx, f.dy, scratch_row_);
        break;
      case kComposite:  // its background would be plane 2, which has no pixels
      default:
        return;
    }
  }
  // The window is the program thread's: the pump carries the refresh out.
  planes_.RequestRepaint(f.dx, f.dy, f.w, f.h);
}

void AnimationTable::SetCursorBase(uint16_t id) {
  std::lock_guard lock(mutex_);
  cursor_frame_ = 0;
  cursor_hold_ = 0;
  cursor_current_.store(id, std::memory_order_release);
}

uint16_t AnimationTable::CursorTick(uint16_t base) {
  std::lock_guard lock(mutex_);
  if (cursor_hold_ > 0) {
    --cursor_hold_;
    return cursor_current_.load(std::memory_order_relaxed);
  }
  // Frame 0 shows base + 1, frame 2 the base; frames 1 and 3 hold the image shown.
  constexpr std::array<int, 4> kOffsets = {1, -1, 0, -1};
  const int offset = kOffsets[cursor_frame_];
  if (offset >= 0)
    cursor_current_.store(static_cast<uint16_t>(base + offset), std::memory_order_release);
  else
    cursor_hold_ = kHoldTicks;
  cursor_frame_ = static_cast<uint16_t>((cursor_frame_ + 1) % kOffsets.size());
  return cursor_current_.load(std::memory_order_relaxed);
}

}  // namespace tvx
