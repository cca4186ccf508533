// The animation targets' round trip: a block shown as text and that text built again.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/anim_block.h"
#include "tools/anim_source.h"
#include "tools/anim_text.h"

namespace tvx::fuzz {

// Builds what `anim show` prints for a reading; aborts when that text does not build, or
// when a note would not stay a one-line comment in it.
inline std::vector<uint8_t> BuildShown(const tool::anim::BlockReading& reading) {
  using namespace tvx::tool::anim;
  for (const std::string& note : reading.notes)
    if (std::find(note.begin(), note.end(), '\n') != note.end()) std::abort();
  const SourceResult source =
      ParseSource(FormatSource(reading.data, reading.notes, "fuzz"), "shown.txt");
  if (!source.ok()) std::abort();
  return WriteBlock(source.data);
}

// A block the tool built keeps its bytes through show and build; aborts when it does not.
inline void CheckRoundTrip(const std::vector<uint8_t>& built) {
  if (BuildShown(tool::anim::ReadBlock(built)) != built) std::abort();
}

}  // namespace tvx::fuzz
