// Any byte string as the save file FLAG01: a start script loads it the three ways a game
// can (the variables only, the system pointer block, the whole save with its script started
// again), and the saved script, whatever its name, runs for a bounded time. Nothing is read
// or written outside the script machine's areas.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tools/mes/assembler.h"

namespace {

std::vector<uint8_t> Assembled(std::string_view source) {
  const auto result = tvx::mes::Assemble(source, "fuzz.tvs");
  if (!result.ok()) std::abort();
  return result.code;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  static const std::vector<uint8_t> loader = Assembled(
      "    SYSCALL 4, 2, 1\n"  // the variables only, the running script kept
      "    SYSCALL 4, 4, 1\n"  // the system pointer block
      "    SYSCALL 4, 3, 2\n"  // the flags merged into another slot
      "    SYSCALL 4, 0, 1\n"  // the whole save: its script starts from its first byte
      "    END\n");
  // What the seed saves name as their script: it counts its starts, saves and loads again.
  static const std::vector<uint8_t> saved = Assembled(
      "    SET_REG16 A, A + 1\n"
      "    IF FLAG[10] != 0, done\n"
      "    SET_FLAGS 10, 1\n"
      "    SYSCALL 4, 1, 3\n"
      "    SYSCALL 4, 0, 3\n"
      "done:\n"
      "    END\n");
  fuzz::ResetFolder();
  fuzz::PutFile("MAIN.MES", loader);
  fuzz::PutFile("SAVED.MES", saved);
  fuzz::PutFile("FLAG01", std::span(data, size));
  fuzz::ReplayBounded(20, 1500);
  return 0;
}
