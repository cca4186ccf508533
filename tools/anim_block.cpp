#include "tools/anim_block.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "resources/byte_order.h"

namespace tvx::tool::anim {
namespace {

std::string SlotName(size_t index) {
  return "slot " + std::to_string(index / kColumns) + " " + std::to_string(index % kColumns);
}

// A program as far as it can be written out: its words and the byte after the last one.
struct Decoded {
  std::vector<uint16_t> words;
  uint64_t end = 0;
  std::string stop;  // why it was cut short, when it was
};

// The words from `start` up to `limit`: through the first end or restart, stopping before
// a command that cannot be written as source (a frame inside the offset table, an operand
// that lies beyond the program).
Decoded DecodeProgram(std::span<const uint8_t> block, uint64_t start, uint64_t limit) {
  Decoded decoded;
  uint64_t at = start;
  while (at + 2 <= limit) {
    const uint16_t command = bytes::LoadLe16(block, at);
    if (command > kNext2 && command < kFirstFrame) {
      decoded.stop = "command " + std::to_string(command) + " at offset " + std::to_string(at) +
                     ", which the engine takes as a frame whose record lies in the offset table";
      break;
    }
    if (TakesOperand(command)) {
      if (at + 4 > limit) {
        decoded.stop = "command " + std::to_string(command) + " at offset " + std::to_string(at) +
                       ", whose operand lies beyond the program";
        break;
      }
      decoded.words.push_back(command);
      decoded.words.push_back(bytes::LoadLe16(block, at + 2));
      at += 4;
      continue;
    }
    decoded.words.push_back(command);
    at += 2;
    if (EndsProgram(command)) break;
  }
  decoded.end = at;
  return decoded;
}

Frame LoadFrame(std::span<const uint8_t> block, uint32_t number) {
  const uint64_t at = FrameOffset(number);
  auto field = [&](uint64_t i) { return bytes::LoadLe16(block, at + 1 + 2 * i); };
  return {static_cast<uint16_t>(number),
          block[at],
          field(0),
          field(1),
          field(2),
          field(3),
          field(4),
          field(5),
          field(6),
          field(7)};
}

bool AllZero(std::span<const uint8_t> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace

std::vector<uint8_t> WriteBlock(const AnimData& data) {
  uint64_t size = kHeaderSize;
  for (const Frame& frame : data.frames)
    size = std::max(size, FrameOffset(frame.number) + kFrameSize);
  std::vector<uint8_t> out(size, 0);
  bytes::StoreLe16(out, 0, kEnd);
  for (const Frame& frame : data.frames) {
    const uint64_t at = FrameOffset(frame.number);
    out[at] = frame.type;
    const std::array<uint16_t, 8> fields = {frame.sx, frame.sy, frame.w,        frame.h,
                                            frame.dx, frame.dy, frame.ignored1, frame.ignored2};
    for (size_t i = 0; i < fields.size(); ++i) bytes::StoreLe16(out, at + 1 + 2 * i, fields[i]);
  }
  for (const Program& program : data.programs) {
    const size_t index = program.row * kColumns + program.column;
    bytes::StoreLe32(out, kTableOffset + 4 * index, static_cast<uint32_t>(out.size()));
    for (const uint16_t word : program.words) {
      out.push_back(static_cast<uint8_t>(word & 0xFF));
      out.push_back(static_cast<uint8_t>(word >> 8));
    }
  }
  return out;
}

BlockReading ReadBlock(std::span<const uint8_t> block) {
  BlockReading reading;
  const uint64_t size = block.size();
  if (size < kHeaderSize) {
    reading.notes.push_back("the block holds " + std::to_string(size) + " bytes, fewer than the " +
                            std::to_string(kHeaderSize) + " of its offset table");
  }

  std::array<uint64_t, kSlots> offsets{};
  for (size_t i = 0; i < kSlots; ++i) {
    const uint64_t entry = kTableOffset + 4 * i;
    if (entry + 4 <= size) offsets[i] = bytes::LoadLe32(block, entry);
  }
  std::set<uint64_t> starts;
  for (const uint64_t offset : offsets)
    if (offset != 0) starts.insert(offset);
  const uint64_t first_program = starts.empty() ? size : std::min(*starts.begin(), size);

  // Slots in the order of their programs.
  // Slots without a program (offset 0) are left out before sorting.
  std::vector<size_t> order;
  for (size_t i = 0; i < kSlots; ++i)
    if (offsets[i] != 0) order.push_back(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return offsets[a] < offsets[b]; });

  std::vector<std::pair<uint64_t, uint64_t>> spans;  // bytes the programs were read from
  std::set<uint32_t> used;
  for (const size_t index : order) {
    const uint64_t start = offsets[index];
    if (start >= size) {
      reading.notes.push_back(SlotName(index) + ": its program would begin at offset " +
                              std::to_string(start) + ", past the end of the block");
      continue;
    }
    const auto next = starts.upper_bound(start);
    const uint64_t limit = next == starts.end() ? size : std::min(*next, size);
    Decoded decoded = DecodeProgram(block, start, limit);
    if (!decoded.stop.empty()) {
      reading.notes.push_back(SlotName(index) + ": shown up to " + decoded.stop);
    }
    if (decoded.words.empty()) continue;
    spans.emplace_back(start, decoded.end);
    for (size_t i = 0; i < decoded.words.size(); ++i) {
      if (IsFrame(decoded.words[i])) used.insert(decoded.words[i]);
      if (TakesOperand(decoded.words[i])) ++i;
    }
    reading.data.programs.push_back({static_cast<uint32_t>(index / kColumns),
                                     static_cast<uint32_t>(index % kColumns),
                                     std::move(decoded.words)});
  }

  std::map<uint32_t, Frame> frames;
  // The records before the first program: those that hold anything, and the last one when
  // they fill that space exactly, so that the programs begin at the same offset again.
  for (uint32_t number = kFirstFrame;
       number <= kLastFrame && FrameOffset(number) + kFrameSize <= first_program; ++number) {
    const bool last = FrameOffset(number) + kFrameSize == first_program;
    if (last || !AllZero(block.subspan(FrameOffset(number), kFrameSize)))
      frames.emplace(number, LoadFrame(block, number));
  }
  for (const uint32_t number : used) {
    if (frames.contains(number)) continue;
    const uint64_t at = FrameOffset(number);
    const std::string frame = "frame " + std::to_string(number) + ": its record";
    if (at + kFrameSize > size) {
      reading.notes.push_back(frame + " would lie past the end of the block (offset " +
                              std::to_string(at) + ")");
    } else if (std::any_of(spans.begin(), spans.end(), [&](const auto& span) {
                 return at < span.second && span.first < at + kFrameSize;
               })) {
      reading.notes.push_back(frame + " at offset " + std::to_string(at) +
                              " overlaps the programs, which the engine then reads as a record");
    } else if (AllZero(block.subspan(at, kFrameSize))) {
      reading.notes.push_back(frame + " at offset " + std::to_string(at) +
                              " is all zero: it draws nothing");
    } else {
      frames.emplace(number, LoadFrame(block, number));
    }
  }
  for (const auto& [number, frame] : frames) reading.data.frames.push_back(frame);
  return reading;
}

}  // namespace tvx::tool::anim
