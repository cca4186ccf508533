// Any bytes as animation data, both ways. As a block: `anim show` reads it inside its bytes
// and what it prints always builds. As text: the parser takes anything, and whatever builds
// comes back through show and build as the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "tools/anim_block.h"
#include "tools/anim_source.h"
#include "tools/anim_text.h"

namespace {

using namespace tvx::tool::anim;

// Shows a block and builds the text again; aborts when the text does not build.
std::vector<uint8_t> ShowAndBuild(std::span<const uint8_t> block) {
  const BlockReading reading = ReadBlock(block);
  const SourceResult source =
      ParseSource(FormatSource(reading.data, reading.notes, "fuzz"), "shown.txt");
  if (!source.ok()) std::abort();
  return WriteBlock(source.data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  // Any block: a build of what is shown is a block of the tool's own, which then keeps its
  // bytes through show and build.
  const std::vector<uint8_t> rebuilt = ShowAndBuild(bytes);
  if (ShowAndBuild(rebuilt) != rebuilt) std::abort();

  const SourceResult source =
      ParseSource(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.txt");
  if (source.ok()) {
    const std::vector<uint8_t> block = WriteBlock(source.data);
    if (ShowAndBuild(block) != block) std::abort();
  }
  return 0;
}
