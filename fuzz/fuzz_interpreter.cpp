// Any byte string as the start script: the interpreter runs it for a bounded number of
// fetched bytes and a bounded span of virtual time (so that waits for the player end), and
// never touches memory outside the script machine's areas. One game system plays every input.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  fuzz::ResetFolder();
  fuzz::PutFile("MAIN.MES", std::span(data, size));
  fuzz::ReplayBounded(20, 1500);
  return 0;
}
