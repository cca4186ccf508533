#include "app/developer_commands.h"

#include <string>
#include <string_view>

#include "app/developer_tools.h"
#include "app/game_system.h"
#include "platform/platform.h"
#include "resources/gbk.h"
#include "ui/command_prompt.h"

namespace tvx {

namespace {

constexpr std::string_view kDumpCaption = "DUMP";
constexpr std::string_view kCommandCaption = "COMMAND";
constexpr std::string_view kNoTools =
    "Not available: this program runs without the developer tools.";
constexpr std::string_view kNoScript = "No script is running.";
constexpr std::string_view kStillRunning = "The last command line is still running.";

bool Blank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

bool DeveloperCommands::Run(uint16_t identifier) {
  if (identifier != kDump && identifier != kCommand) return false;
  if (!system_.debugMode()) return false;
  MainWindow& window = system_.mainWindow();
  // The pointer shows for the boxes and the prompt's close box, whatever the script wants.
  window.ForceCursor(true);
  if (identifier == kDump)
    Dump();
  else
    Command();
  window.ForceCursor(system_.shared().cursorVisible != 0);
  window.SetCursorByKind();
  return true;
}

void DeveloperCommands::Dump() {
  const platform::WindowId window = system_.mainWindow().handle();
  DeveloperTools* tools = system_.developerTools();
  if (!tools) {
    platform::MessageBox(window, kDumpCaption, kNoTools, platform::BoxButtons::Ok);
    return;
  }
  const DeveloperTools::DumpResult result = tools->Dump(system_);
  const std::string text = result.ok ? "The game was dumped into\n" + result.where
                                     : "Nothing was dumped: " + result.where;
  platform::MessageBox(window, kDumpCaption, gbk::FromUtf8(text), platform::BoxButtons::Ok);
}

void DeveloperCommands::Command() {
  const platform::WindowId window = system_.mainWindow().handle();
  ScriptInterpreter& interpreter = system_.interpreter();
  std::string_view refusal;
  if (!system_.developerTools())
    refusal = kNoTools;
  else if (interpreter.nestingDepth() == 0)
    refusal = kNoScript;
  else if (interpreter.commandRunning())
    refusal = kStillRunning;
  if (!refusal.empty()) {
    platform::MessageBox(window, kCommandCaption, refusal, platform::BoxButtons::Ok);
    return;
  }
  CommandPrompt prompt;
  std::vector<uint8_t> code;
  // The prompt is gone before the line runs: what the line shows, and waits for, is the
  // game's.
  if (Prompt(prompt, code)) interpreter.RunCommandLine(code);
}

bool DeveloperCommands::Prompt(CommandPrompt& prompt, std::vector<uint8_t>& code) {
  MainWindow& window = system_.mainWindow();
  ModalScope modal(window, prompt);
  if (!modal.began()) return false;
  const platform::WindowId handle = window.handle();
  const platform::Rect bounds = CommandPrompt::kBounds;
  std::vector<uint16_t> pixels(static_cast<size_t>(bounds.Width()) * bounds.Height());
  platform::SetWindowCovers(handle, std::span(&bounds, 1));
  platform::StartTextInput();

  bool run = false;
  for (;;) {
    if (prompt.state() == CommandPrompt::State::Cancelled) break;
    if (prompt.state() == CommandPrompt::State::Submitted) {
      const std::string line = gbk::ToUtf8(prompt.text());
      if (Blank(line)) break;
      DeveloperTools::LineCode assembled = system_.developerTools()->AssembleLine(line);
      if (assembled.error.empty() && assembled.code.size() >= kCommandAreaSize) {
        assembled.error =
            "the line's code is too long (" + std::to_string(assembled.code.size()) + " bytes)";
        assembled.column = 0;
      }
      if (assembled.error.empty()) {
        code = std::move(assembled.code);
        run = !code.empty();
        break;
      }
      prompt.Reject(gbk::FromUtf8(assembled.error), assembled.column);
    }
    if (prompt.TakeChanged()) {
      prompt.Render(pixels);
      platform::DrawOverWindow(handle, pixels, bounds.Width(), bounds.Height(),
                               {bounds.left, bounds.top});
    }
    if (!system_.PumpWaitingForInput()) break;
  }

  platform::StopTextInput();
  // The game's picture comes back where the prompt was.
  platform::SetWindowCovers(handle, {});
  platform::InvalidateRect(handle, bounds);
  platform::UpdateWindow(handle);
  return run;
}

}  // namespace tvx
