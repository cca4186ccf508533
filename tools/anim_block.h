// The animation data block in bytes (the layout is drawn in tools/anim_data.h): written from
// frames and programs, and read back from any bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/anim_data.h"

namespace tvx::tool::anim {

// The offset table, the frame records up to the highest frame number (those not given are
// zero), then the programs in their order. Bytes 0-1 hold "end", so that a slot without a
// program that a script starts anyway ends at once instead of playing the table.
std::vector<uint8_t> WriteBlock(const AnimData& data);

struct BlockReading {
  AnimData data;
  // What the block holds that cannot be written as frames and programs, in sentences.
  std::vector<std::string> notes;
};

// Reads any bytes as a block: the programs of the slots whose offsets are not 0 (each up
// to the next program or the end of the block, and no further than its first end or
// restart) and the frame records they use that lie clear of the programs, plus the records
// before the first program that are not all zero. Programs are given in the order of their
// offsets. Every read is checked against the size.
BlockReading ReadBlock(std::span<const uint8_t> block);

}  // namespace tvx::tool::anim
