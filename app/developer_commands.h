// The debug menu's DUMP and COMMAND entries: a dump of the running game into a folder of
// its own, and a prompt that runs a typed line of MES assembly where the script stands.
#pragma once

#include <cstdint>
#include <vector>

namespace tvx {

class CommandPrompt;
class GameSystem;

class DeveloperCommands {
 public:
  static constexpr uint16_t kDump = 40013;
  static constexpr uint16_t kCommand = 40024;

  explicit DeveloperCommands(GameSystem& system) : system_(system) {}

  // Carries out DUMP or COMMAND in debug mode; false for any other command.
  bool Run(uint16_t identifier);

 private:
  void Dump();
  void Command();
  // Shows the prompt until a line assembles (its code in `code`), the developer closes it,
  // or the program quits; true when there is code to run.
  bool Prompt(CommandPrompt& prompt, std::vector<uint8_t>& code);

  GameSystem& system_;
};

}  // namespace tvx
