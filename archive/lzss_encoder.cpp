#include "archive/lzss_encoder.h"

#include <algorithm>

#include "archive/lzss_decoder.h"

namespace tvx {
namespace {

constexpr size_t kRingSize = LzssDecoder::kRingSize;
constexpr size_t kRingMask = LzssDecoder::kRingMask;
constexpr size_t kFirstWrite = LzssDecoder::kFirstWrite;
constexpr size_t kMinMatch = LzssDecoder::kMinMatch;
constexpr size_t kMaxMatch = LzssDecoder::kMaxMatch;

// The parse is optimised block by block so the scratch stays small for any input size; a
// match is only cut at a block end, which costs a few bits per block at most.
constexpr size_t kBlockSize = size_t{1} << 16;

// Output cost in bits: a flag bit plus the literal byte or the two reference bytes.
constexpr uint32_t kLiteralBits = 9;
constexpr uint32_t kReferenceBits = 17;

struct Match {
  size_t length = 0;
  size_t ring_offset = 0;
};

// Binary search tree of the strings (kMaxMatch bytes long) starting at the last 4095
// positions. Positions are indices into `text`, the bytes as the decoder's ring sees them:
// kFirstWrite zeros (the cleared start of the ring), then the input, then kMaxMatch zeros of
// padding so that every key has its full length. A node lives in the ring slot of its
// position and leaves the tree when a newer position takes that slot, which keeps every match
// source inside the window the decoder still holds. Trees are rooted by the first two bytes.
class MatchTree {
 public:
  explicit MatchTree(std::span<const uint8_t> text)
      : text_(text), left_(kNodeCount, kNil), right_(kNodeCount, kNil), parent_(kRingSize, kNil) {}

  // Adds the string at `position` and returns the longest match among the strings already in
  // the tree (at most kMaxMatch; the caller cuts it at the end of the input).
  Match Insert(size_t position) {
    const auto slot = static_cast<uint32_t>(position & kRingMask);
    Remove(slot);
    const uint8_t* key = text_.data() + position;
    left_[slot] = kNil;
    right_[slot] = kNil;
    Match best;
    uint32_t at = kFirstRoot + (uint32_t{key[0]} << 8 | key[1]);
    bool go_right = true;  // a root keeps its tree on the right
    for (;;) {
      uint32_t& child = go_right ? right_[at] : left_[at];
      if (child == kNil) {
        child = slot;
        parent_[slot] = at;
        return best;
      }
      at = child;
      const uint8_t* other = text_.data() + position - ((position - at) & kRingMask);
      size_t length = 2;
      while (length < kMaxMatch && key[length] == other[length]) ++length;
      if (length > best.length) best = {length, at};
      if (length == kMaxMatch) {
        // Same key: the newer position takes the older one's place, as it stays longer.
        Replace(at, slot);
        return best;
      }
      go_right = key[length] > other[length];
    }
  }

 private:
  // Indices: the ring slots, "no node", then one root per first two bytes.
  static constexpr uint32_t kNil = kRingSize;
  static constexpr uint32_t kFirstRoot = kNil + 1;
  static constexpr size_t kNodeCount = kFirstRoot + 65536;

  void SetChildOfParent(uint32_t node, uint32_t replacement) {
    const uint32_t up = parent_[node];
    if (right_[up] == node) {
      right_[up] = replacement;
    } else {
      left_[up] = replacement;
    }
  }

  void Replace(uint32_t old_node, uint32_t node) {
    left_[node] = left_[old_node];
    right_[node] = right_[old_node];
    if (left_[node] != kNil) parent_[left_[node]] = node;
    if (right_[node] != kNil) parent_[right_[node]] = node;
    parent_[node] = parent_[old_node];
    SetChildOfParent(old_node, node);
    parent_[old_node] = kNil;
  }

  void Remove(uint32_t node) {
    if (parent_[node] == kNil) return;
    uint32_t successor;
    if (right_[node] == kNil) {
      successor = left_[node];
    } else if (left_[node] == kNil) {
      successor = right_[node];
    } else {
      // Two children: the largest node of the left subtree takes this one's place.
      successor = left_[node];
      if (right_[successor] != kNil) {
        do successor = right_[successor];
        while (right_[successor] != kNil);
        right_[parent_[successor]] = left_[successor];
        if (left_[successor] != kNil) parent_[left_[successor]] = parent_[successor];
        left_[successor] = left_[node];
        parent_[left_[node]] = successor;
      }
      right_[successor] = right_[node];
      parent_[right_[node]] = successor;
    }
    if (successor != kNil) parent_[successor] = parent_[node];
    SetChildOfParent(node, successor);
    parent_[node] = kNil;
  }

  std::span<const uint8_t> text_;
  std::vector<uint32_t> left_;
  std::vector<uint32_t> right_;
  std::vector<uint32_t> parent_;
};

// Collects items into groups of eight behind their flag byte.
class GroupWriter {
 public:
  explicit GroupWriter(std::vector<uint8_t>& out) : out_(out) {}

  void Literal(uint8_t byte) {
    StartItem(true);
    out_.push_back(byte);
  }

  void Reference(size_t ring_offset, size_t length) {
    StartItem(false);
    out_.push_back(static_cast<uint8_t>(ring_offset & 0xFF));
    out_.push_back(static_cast<uint8_t>((ring_offset >> 4 & 0xF0) | (length - kMinMatch)));
  }

 private:
  void StartItem(bool literal) {
    if (bit_ == 8) {
      flag_at_ = out_.size();
      out_.push_back(0);
      bit_ = 0;
    }
    if (literal) out_[flag_at_] |= static_cast<uint8_t>(1u << bit_);
    ++bit_;
  }

  std::vector<uint8_t>& out_;
  size_t flag_at_ = 0;
  unsigned bit_ = 8;
};

}  // namespace

std::vector<uint8_t> LzssEncoder::Encode(std::span<const uint8_t> input) {
  std::vector<uint8_t> out;
  if (input.empty()) return out;
  out.reserve(input.size() + input.size() / 8 + 2);

  std::vector<uint8_t> text(kFirstWrite + input.size() + kMaxMatch, 0);
  std::copy(input.begin(), input.end(), text.begin() + kFirstWrite);
  MatchTree tree(text);
  // The cleared ring start as match source: the last kMaxMatch zero positions cover every
  // run of zeros a reference can take from it.
  for (size_t position = kFirstWrite - kMaxMatch; position < kFirstWrite; ++position) {
    tree.Insert(position);
  }

  match_length_.resize(kBlockSize);
  match_offset_.resize(kBlockSize);
  choice_.resize(kBlockSize);
  cost_.resize(kBlockSize + 1);
  GroupWriter writer(out);
  for (size_t block = 0; block < input.size(); block += kBlockSize) {
    const size_t count = std::min(kBlockSize, input.size() - block);
    for (size_t i = 0; i < count; ++i) {
      const Match match = tree.Insert(kFirstWrite + block + i);
      match_length_[i] = static_cast<uint8_t>(std::min(match.length, count - i));
      match_offset_[i] = static_cast<uint16_t>(match.ring_offset);
    }
    // Cheapest way from each position to the block end: a literal, or a reference of any
    // length up to the longest match found there (a shorter one has the same source).
    cost_[count] = 0;
    for (size_t i = count; i-- > 0;) {
      uint32_t best = cost_[i + 1] + kLiteralBits;
      uint8_t choice = 0;
      for (size_t length = match_length_[i]; length >= kMinMatch; --length) {
        const uint32_t cost = cost_[i + length] + kReferenceBits;
        if (cost < best) {
          best = cost;
          choice = static_cast<uint8_t>(length);
        }
      }
      cost_[i] = best;
      choice_[i] = choice;
    }
    for (size_t i = 0; i < count;) {
      if (choice_[i] == 0) {
        writer.Literal(input[block + i]);
        ++i;
      } else {
        writer.Reference(match_offset_[i], choice_[i]);
        i += choice_[i];
      }
    }
  }
  return out;
}

}  // namespace tvx
