// Every command and action of talvex-tool alike: --help and -h show its own usage with exit
// code 0, an unknown action says "unknown command" with exit code 2, a missing input names
// the system's reason, and a file of the wrong kind is refused with a message that says so
// (exit code 1, nothing written).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/tool_test_support.h"
#include "tools/tool_main.h"

namespace tvx::tool::test {
namespace {

// Argument placeholders, replaced by paths in the test's folder.
constexpr std::string_view kMissing = "{MISSING}";  // a file that does not exist
constexpr std::string_view kSound = "{SOUND}";      // a RIFF/WAVE sound
constexpr std::string_view kData = "{DATA}";        // bytes of no known kind
constexpr std::string_view kOut = "{OUT}";          // where an output would go
constexpr std::string_view kFolder = "{FOLDER}";    // an empty folder

struct Row {
  std::vector<std::string> command;  // "wav", "info"
  std::vector<std::string> missing;  // arguments naming a missing input
  std::vector<std::string> wrong;    // arguments naming a file of the wrong kind; empty when
                                     // the data cannot be told from the right kind
  std::string wrong_message;
};

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
      {{"anim", "build"}, {"{MISSING}", "{OUT}"}, {"{SOUND}", "{OUT}"}, "is not a text file"},
      {{"anim", "show"}, {"{MISSING}"}, {"{SOUND}"}, "is not animation data"},
      {{"arc", "pack"}, {"{OUT}", "{MISSING}"}, {}, ""},
      {{"arc", "list"}, {"{MISSING}"}, {"{SOUND}"}, "is not an archive"},
      {{"arc", "extract"},
       {"-o", "{OUT}", "{MISSING}"},
       {"-o", "{OUT}", "{SOUND}"},
       "is not an archive"},
      {{"g16", "encode"}, {"{MISSING}", "{OUT}"}, {"{SOUND}", "{OUT}"}, "not a PNG file"},
      {{"g16", "decode"}, {"{MISSING}", "{OUT}"}, {"{SOUND}", "{OUT}"}, "is not a G16 picture"},
      {{"g16", "info"}, {"{MISSING}"}, {"{SOUND}"}, "is not a G16 picture"},
      {{"lzss", "pack"}, {"{MISSING}", "{OUT}"}, {}, ""},
      // An LZSS stream has no signature: any data expands to something.
      {{"lzss", "unpack"}, {"{MISSING}", "{OUT}"}, {}, ""},
      {{"maze", "map"}, {"{MISSING}", "{OUT}"}, {"{SOUND}", "{OUT}"}, "is not a text file"},
      {{"maze", "show"}, {"{MISSING}"}, {"{SOUND}"}, "is not a map record"},
      {{"maze", "palette"}, {"{MISSING}", "{OUT}"}, {"{SOUND}", "{OUT}"}, "not a PNG file"},
      {{"maze", "tiles"},
       {"{OUT}", "--palette", "{MISSING}", "--pieces", "{FOLDER}"},
       {"{OUT}", "--palette", "{SOUND}", "--pieces", "{FOLDER}"},
       "a palette is 32 bytes"},
      {{"maze", "render"},
       {"{MISSING}", "0", "0", "east", "{OUT}"},
       {"{FOLDER}", "0", "0", "east", "{OUT}", "--map", "{SOUND}"},
       "map takes"},
      {{"mes", "asm"}, {"{MISSING}", "{OUT}"}, {"{SOUND}", "{OUT}"}, "is not a text file"},
      // Any bytes disassemble (what is no instruction becomes DB).
      {{"mes", "disasm"}, {"{MISSING}"}, {}, ""},
      {{"run"}, {"{MISSING}", "--headless"}, {"{SOUND}", "--headless"}, "Not a directory"},
      {{"wav", "info"}, {"{MISSING}"}, {"{DATA}"}, "is not a RIFF/WAVE sound"},
      {{"wav", "convert"}, {"{MISSING}", "{OUT}"}, {"{DATA}", "{OUT}"}, "is not a RIFF/WAVE sound"},
      {{"wav", "adpcm"}, {"{MISSING}", "{OUT}"}, {"{DATA}", "{OUT}"}, "is not a RIFF/WAVE sound"},
      {{"wav", "loop"},
       {"{MISSING}", "0", "10"},
       {"{DATA}", "0", "10"},
       "is not a RIFF/WAVE sound"},
  };
  return rows;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

RunResult Tool(const std::vector<std::string>& args) {
  return RunCommand(RunTool, args);
}

class ToolFiles {
 public:
  ToolFiles() {
    std::vector<uint8_t> sound = Bytes("RIFF");
    for (const uint8_t byte : {0x24, 0x10, 0x00, 0x00}) sound.push_back(byte);
    for (const uint8_t byte : Bytes("WAVEfmt ")) sound.push_back(byte);
    const std::vector<uint8_t> noise = SampleText(4096, 7);
    sound.insert(sound.end(), noise.begin(), noise.end());
    WriteFile(Sound(), sound);
    std::vector<uint8_t> data(3000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + i / 7);
    WriteFile(Data(), data);
    std::filesystem::create_directories(Folder());
  }

  std::string Missing() const { return dir_ / "absent.dat"; }
  std::string Sound() const { return dir_ / "MUSIC.WAV"; }
  std::string Data() const { return dir_ / "noise.bin"; }
  std::string Out() const { return dir_ / "out.file"; }
  std::string Folder() const { return dir_ / "empty"; }

  // The command's words followed by its arguments with the placeholders filled in.
  std::vector<std::string> Args(const Row& row, const std::vector<std::string>& args) const {
    std::vector<std::string> all = row.command;
    for (const std::string& arg : args) {
      if (arg == kMissing)
        all.push_back(Missing());
      else if (arg == kSound)
        all.push_back(Sound());
      else if (arg == kData)
        all.push_back(Data());
      else if (arg == kOut)
        all.push_back(Out());
      else if (arg == kFolder)
        all.push_back(Folder());
      else
        all.push_back(arg);
    }
    return all;
  }

 private:
  TempDir dir_;
};

TEST(ToolHelpAndErrors, EveryCommandAnswersHelpWithItsOwnUsage) {
  for (const Row& row : Rows()) {
    for (const std::string flag : {"--help", "-h"}) {
      std::vector<std::string> args = row.command;
      args.push_back(flag);
      const RunResult result = Tool(args);
      const std::string usage = "usage: talvex-tool " + Joined(row.command) + " ";
      EXPECT_EQ(result.code, 0) << Joined(args);
      EXPECT_EQ(result.out.rfind(usage, 0), 0u) << Joined(args) << "\n" << result.out;
      EXPECT_EQ(result.err, "") << Joined(args);
      // After other arguments too.
      args.insert(args.end() - 1, "IN");
      const RunResult later = Tool(args);
      EXPECT_EQ(later.code, 0) << Joined(args) << "\n" << later.err;
      EXPECT_EQ(later.out, result.out) << Joined(args);
    }
  }
}

TEST(ToolHelpAndErrors, EveryGroupAnswersHelpAndNamesUnknownCommands) {
  for (const Command& command : Commands()) {
    const std::string name(command.name);
    for (const std::string flag : {"--help", "-h"}) {
      const RunResult help = Tool({name, flag});
      EXPECT_EQ(help.code, 0) << name;
      EXPECT_EQ(help.out.rfind("usage: talvex-tool " + name + " ", 0), 0u) << help.out;
      EXPECT_EQ(help.err, "") << name;
    }
    // No actions: run takes a game folder, build a source and an output folder.
    if (name == "run" || name == "build") {
      EXPECT_EQ(Tool({name, "bogus"}).code, name == "run" ? 1 : 2) << name;
      continue;
    }
    const RunResult bogus = Tool({name, "bogus"});
    EXPECT_EQ(bogus.code, 2) << name;
    EXPECT_EQ(bogus.err.rfind("talvex-tool " + name + ": unknown command 'bogus'\nusage: ", 0), 0u)
        << bogus.err;
    EXPECT_EQ(bogus.out, "") << name;
  }
  const RunResult top = Tool({"bogus"});
  EXPECT_EQ(top.code, 2);
  EXPECT_NE(top.err.find("unknown command 'bogus'"), std::string::npos) << top.err;
  const RunResult option = Tool({"run", "--bogus"});
  EXPECT_EQ(option.code, 2);
  EXPECT_NE(option.err.find("unknown option '--bogus'"), std::string::npos) << option.err;
}

TEST(ToolHelpAndErrors, AMissingInputNamesTheFileAndTheSystemsReason) {
  const ToolFiles files;
  for (const Row& row : Rows()) {
    const std::vector<std::string> args = files.Args(row, row.missing);
    const RunResult result = Tool(args);
    EXPECT_EQ(result.code, 1) << Joined(args);
    EXPECT_NE(result.err.find("absent.dat"), std::string::npos) << Joined(args) << "\n"
                                                                << result.err;
    EXPECT_NE(result.err.find(": No such file or directory"), std::string::npos)
        << Joined(args) << "\n"
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(files.Out())) << Joined(args);
  }
}

TEST(ToolHelpAndErrors, AFileOfTheWrongKindIsRefusedAndNothingIsWritten) {
  const ToolFiles files;
  for (const Row& row : Rows()) {
    if (row.wrong.empty()) continue;
    const std::vector<std::string> args = files.Args(row, row.wrong);
    const RunResult result = Tool(args);
    EXPECT_EQ(result.code, 1) << Joined(args);
    EXPECT_NE(result.err.find(row.wrong_message), std::string::npos) << Joined(args) << "\n"
                                                                     << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_FALSE(std::filesystem::exists(files.Out())) << Joined(args);
  }
}

TEST(ToolHelpAndErrors, AnUnwritableOutputNamesTheSystemsReason) {
  const ToolFiles files;
  const RunResult result = Tool({"lzss", "pack", files.Data(), files.Folder() + "/no/such/X"});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("cannot write '" + files.Folder() + "/no/such/X': No such file"),
            std::string::npos)
      << result.err;
  const RunResult folder = Tool({"wav", "info", files.Folder()});
  EXPECT_EQ(folder.code, 1);
  EXPECT_NE(folder.err.find("cannot read '" + files.Folder() + "': Is a directory"),
            std::string::npos)
      << folder.err;
}

}  // namespace
}  // namespace tvx::tool::test
