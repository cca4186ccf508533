#include "tools/run_command.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/game_system.h"
#include "app/shell_windows.h"
#include "platform/file.h"
#include "platform/headless/headless_backend.h"
#include "platform/path_text.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "resources/gbk.h"
#include "tools/game_developer_tools.h"
#include "tools/plane_dump.h"
#include "tools/run_backend.h"
#include "tools/sound_dump.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "usage: talvex-tool run GAME_DIR [--headless] [--input EVENTS] [--until-ms N] "
    "[--timeout-s N] [--dump DIR [--dump-at MS[,MS...]] [--dump-presents]]\n";

constexpr std::string_view kHelp =
    "Runs the engine on a game folder: its settings file is GAME_DIR/TVXCHS.INI and its loose\n"
    "files and archives are found in GAME_DIR.\n\n"
    "  --headless      no window: a virtual clock, so the run is the same every time\n"
    "  --input EVENTS  timed input events (see docs/headless-events.md)\n"
    "  --until-ms N    end the game after N ms (virtual time when headless); exit status 124\n"
    "  --timeout-s N   end the game after N s of real time, headless or not; exit status 124\n"
    "  --dump DIR      when the run ends, write vars.bin (the 4096-byte variable area),\n"
    "                  boxes.txt (caption TAB text per box shown), files.txt (slot TAB name\n"
    "                  per file name shown), all text in UTF-8, and cursor.txt (SHAPE SHOWN\n"
    "                  X Y: 'arrow' or the cursor image's id, 1 or 0, the pointer in the\n"
    "                  window's client coordinates), menus.txt (the command menu's items);\n"
    "                  plane0.png ... plane8.png\n"
    "                  (every picture plane but 2; 8 is the work plane) and screen.png (what\n"
    "                  the window shows), rows top to bottom; sounds.txt (ms TAB channel TAB\n"
    "                  event TAB file per play, stop and fade) and, headless, sound.wav (all\n"
    "                  the sound mixed, 22050 Hz 16-bit stereo); nowfile.txt (LABEL TAB\n"
    "                  TEXT for the nine rows of the NOW FILE view) and, once the item\n"
    "                  window was made, itemwin.png (its 320 x 32 item bar as last painted)\n"
    "  --dump-at MS,.. also write the same dump into DIR/MS/ when the run reaches each time\n"
    "                  (ms, virtual time when headless), at the first look at the input\n"
    "  --dump-presents also write DIR/presents/1.png, 2.png, ...: the whole window after\n"
    "                  every presentation that changed it, in order (refreshed rectangles,\n"
    "                  repaints, transition and maze frames)\n\n"
    "Every message box is also written to standard error as it is shown (headless runs), one\n"
    "line each: talvex-tool run: box \"CAPTION\": TEXT.\n\n"
    "Exit status: 0 when the game ended by itself (also after boxes it went on from), 124 when\n"
    "the time ran out (the game stopped where it stood), 1 when the engine could not start, the\n"
    "start script could not be loaded or a dump could not be written, 2 for a usage error.\n";

struct Options {
  fs::path game_dir;
  bool headless = false;
  std::optional<fs::path> input;
  std::optional<uint64_t> until_ms;
  std::optional<uint32_t> timeout_s;
  std::optional<fs::path> dump;
  std::vector<uint32_t> dump_at;
  bool dump_presents = false;
};

// The path made absolute, or as given when the current folder cannot be found (it was
// removed): opening it then fails with the system's reason, as for any missing file.
fs::path Absolute(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(platform::PathFromText(path), ec);
  return ec ? platform::PathFromText(path) : absolute;
}

// "MS[,MS...]": times in milliseconds.
bool ParseTimes(std::string_view text, std::vector<uint32_t>& times) {
  for (;;) {
    const size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    uint32_t ms = 0;
    const auto [ptr, ec] = std::from_chars(item.data(), item.data() + item.size(), ms);
    if (item.empty() || ec != std::errc() || ptr != item.data() + item.size()) return false;
    times.push_back(ms);
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

std::optional<Options> Parse(CommandArgs args, std::ostream& err) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string* {
      if (i + 1 >= args.size()) {
        err << "talvex-tool run: " << arg << " needs a value\n" << kUsage;
        return nullptr;
      }
      return &args[++i];
    };
    if (arg == "--headless") {
      options.headless = true;
    } else if (arg == "--input") {
      const auto* v = value();
      if (!v) return std::nullopt;
      options.input = Absolute(*v);
    } else if (arg == "--dump") {
      const auto* v = value();
      if (!v) return std::nullopt;
      options.dump = Absolute(*v);
    } else if (arg == "--dump-at") {
      const auto* v = value();
      if (!v) return std::nullopt;
      if (!ParseTimes(*v, options.dump_at)) {
        err << "talvex-tool run: --dump-at takes milliseconds separated by commas, not '" << *v
            << "'\n"
            << kUsage;
        return std::nullopt;
      }
    } else if (arg == "--dump-presents") {
      options.dump_presents = true;
    } else if (arg == "--until-ms") {
      const auto* v = value();
      if (!v) return std::nullopt;
      uint64_t ms = 0;
      const auto [ptr, ec] = std::from_chars(v->data(), v->data() + v->size(), ms);
      if (ec != std::errc() || ptr != v->data() + v->size()) {
        err << "talvex-tool run: --until-ms takes a number of milliseconds, not '" << *v << "'\n";
        return std::nullopt;
      }
      options.until_ms = ms;
    } else if (arg == "--timeout-s") {
      const auto* v = value();
      if (!v) return std::nullopt;
      uint32_t seconds = 0;
      const auto [ptr, ec] = std::from_chars(v->data(), v->data() + v->size(), seconds);
      if (ec != std::errc() || ptr != v->data() + v->size()) {
        err << "talvex-tool run: --timeout-s takes a number of seconds, not '" << *v << "'\n";
        return std::nullopt;
      }
      options.timeout_s = seconds;
    } else if (!arg.empty() && arg[0] == '-') {
      err << "talvex-tool run: unknown option '" << arg << "'\n" << kUsage;
      return std::nullopt;
    } else if (options.game_dir.empty()) {
      options.game_dir = Absolute(arg);
    } else {
      err << "talvex-tool run: one game folder only\n" << kUsage;
      return std::nullopt;
    }
  }
  if (options.game_dir.empty()) {
    err << kUsage;
    return std::nullopt;
  }
  if (!options.dump_at.empty() && !options.dump) {
    err << "talvex-tool run: --dump-at needs --dump DIR\n" << kUsage;
    return std::nullopt;
  }
  if (options.dump_presents && !options.dump) {
    err << "talvex-tool run: --dump-presents needs --dump DIR\n" << kUsage;
    return std::nullopt;
  }
  return options;
}

// The game's two small windows: the NOW FILE view's texts, and the item window's picture once
// the window was made.
bool WriteShellWindowsDump(const fs::path& dir, GameSystem& system, std::ostream& err) {
  const ShellWindows* shell = system.shell();
  if (!shell) return true;
  std::ofstream now_file(dir / "nowfile.txt", std::ios::binary);
  const NowFileView& view = shell->nowFileView();
  for (size_t row = 0; row < NowFileView::kRows; ++row)
    now_file << NowFileView::kLabels[row] << '\t' << gbk::ToUtf8(view.Text(row)) << '\n';
  if (!now_file) {
    err << "talvex-tool run: cannot write the dump into " << platform::PathText(dir) << "\n";
    return false;
  }
  const platform::Framebuffer* item_bar = shell->itemWindowPicture();
  std::string error;
  if (item_bar && !WritePngFile(platform::PathText(dir / "itemwin.png"),
                                FromBottomUp(item_bar->View()), error)) {
    err << "talvex-tool run: " << error << "\n";
    return false;
  }
  return true;
}

}  // namespace

bool WriteDump(const fs::path& dir, GameSystem& system, const platform::Framebuffer* screen,
               std::ostream& err) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  const auto vars = system.variables().bytes();
  std::ofstream(dir / "vars.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(vars.data()), static_cast<std::streamsize>(vars.size()));
  std::ofstream boxes(dir / "boxes.txt", std::ios::binary);
  for (const auto& box : platform::ShownBoxes())
    boxes << gbk::ToUtf8(box.caption) << '\t' << gbk::ToUtf8(box.text) << '\n';
  if (const uint64_t more = platform::BoxesNotKept())
    boxes << more << " more boxes were not kept\n";
  std::ofstream files(dir / "files.txt", std::ios::binary);
  for (const auto& shown : system.shownFiles())
    files << shown.slot << '\t' << gbk::ToUtf8(shown.name) << '\n';
  // The command menu as the player would find it.
  MenuTree& menus = system.mainWindow().menus();
  menus.Sync(system.shared().commands);
  std::ofstream(dir / "menus.txt", std::ios::binary) << menus.Describe();
  // The mouse cursor as the player sees it: its image, whether it shows, where it points.
  std::ofstream cursor(dir / "cursor.txt", std::ios::binary);
  const platform::CursorShape shape = platform::CurrentCursor();
  const platform::Point pointer =
      platform::ScreenToClient(system.mainWindow().handle(), platform::CursorPos());
  cursor << (shape.resource == 0 ? std::string("arrow") : std::to_string(shape.resource)) << ' '
         << (platform::CursorCounter() >= 0 ? 1 : 0) << ' ' << pointer.x << ' ' << pointer.y
         << '\n';
  if (!boxes || !files || !cursor || !fs::exists(dir / "vars.bin", ec)) {
    err << "talvex-tool run: cannot write the dump into " << platform::PathText(dir) << "\n";
    return false;
  }
  if (!WriteShellWindowsDump(dir, system, err)) return false;
  if (!WriteSoundDump(dir, system, err)) return false;
  return WritePlaneDump(dir, system, screen, err);
}

namespace {

// Writes the window's picture after each presentation that changed it, numbered in order.
class PresentRecorder {
 public:
  PresentRecorder(fs::path dir, std::ostream& err) : dir_(std::move(dir)), err_(err) {}
  void Presented(platform::WindowId window) {
    const platform::Framebuffer* screen = platform::WindowFramebuffer(window);
    if (!screen || failed_) return;
    const auto pixels = screen->pixels();
    if (std::equal(pixels.begin(), pixels.end(), last_.begin(), last_.end())) return;
    last_.assign(pixels.begin(), pixels.end());
    std::error_code ec;
    fs::create_directories(dir_, ec);
    std::string error;
    if (!WritePngFile(platform::PathText(dir_ / (std::to_string(++count_) + ".png")),
                      FromBottomUp(screen->View()), error)) {
      err_ << "talvex-tool run: " << error << "\n";
      failed_ = true;
    }
  }
  bool failed() const { return failed_; }

 private:
  fs::path dir_;
  std::ostream& err_;
  std::vector<uint16_t> last_;
  uint32_t count_ = 0;
  bool failed_ = false;
};

struct Deadline {
  GameSystem* system = nullptr;
  bool hit = false;
};

}  // namespace

int RunExitStatus(GameSystem::Ending ending, bool time_ran_out) {
  switch (ending) {
    case GameSystem::Ending::kStartUpFailed:
    case GameSystem::Ending::kStartScriptMissing:
      return kExitFailure;
    default:
      return time_ran_out ? kExitTimeLimit : kExitOk;
  }
}

int RunRun(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (HasHelpFlag(args)) return Help(out, kUsage, kHelp);
  const auto options = Parse(args, err);
  if (!options) return kExitUsage;
  std::error_code reason;
  if (!fs::is_directory(options->game_dir, reason)) {
    std::error_code ignored;
    if (!reason)
      reason = std::make_error_code(fs::exists(options->game_dir, ignored)
                                        ? std::errc::not_a_directory
                                        : std::errc::no_such_file_or_directory);
    err << "talvex-tool run: no game folder '" << platform::PathText(options->game_dir)
        << "': " << reason.message() << "\n";
    return kExitFailure;
  }
  std::vector<platform::ScriptedEvent> events;
  if (options->input) {
    const auto text = ReadInput("talvex-tool run", options->input->string(), err);
    if (!text) return kExitFailure;
    auto parsed = platform::ParseEventScript(
        std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
    if (!parsed.ok()) {
      // Each bad line on its own line, after the file's name.
      std::string_view lines = parsed.error;
      while (!lines.empty()) {
        const size_t end = std::min(lines.find('\n'), lines.size());
        err << options->input->string() << ": " << lines.substr(0, end) << "\n";
        lines.remove_prefix(std::min(end + 1, lines.size()));
      }
      return kExitFailure;
    }
    events = std::move(parsed.events);
  }
  // The dumps at set times go into DIR/<ms>/, once the game system exists.
  GameSystem* running = nullptr;
  bool timed_dump_failed = false;
  DumpHooks hooks(options->dump_at, [&](uint32_t ms) {
    if (!running) return;
    const auto* screen = hooks.Screen(running->mainWindow().handle());
    if (!WriteDump(*options->dump / std::to_string(ms), *running, screen, err))
      timed_dump_failed = true;
  });
  std::unique_ptr<platform::Backend> backend;
  if (options->headless) {
    auto headless = std::make_unique<HeadlessRunBackend>(std::move(events), hooks, err);
    // The mixed sound is kept for the dump's sound.wav only (10 MB a minute).
    if (!options->dump) headless->set_record_limit_seconds(0);
    backend = std::move(headless);
  } else {
    if (!events.empty()) err << "talvex-tool run: --input is for headless runs; ignored\n";
    auto sdl = platform::CreateSdlBackend(/*windowed=*/true);
    if (!sdl) {
      err << "talvex-tool run: no window can be opened here (try --headless)\n";
      return kExitFailure;
    }
    backend = std::make_unique<WrappedRunBackend>(std::move(sdl), hooks);
  }

  // The game folder is the current directory and the settings file lies in it. The folder we
  // came from is gone back to afterwards, when it can be found.
  std::error_code ec;
  const fs::path previous = fs::current_path(ec);
  fs::current_path(options->game_dir, ec);
  if (ec) {
    err << "talvex-tool run: cannot enter the game folder '"
        << platform::PathText(options->game_dir) << "': " << ec.message() << "\n";
    return kExitFailure;
  }
  platform::SetProgramPathOverride(platform::PathText(options->game_dir / "talvex"));
  platform::Install(std::move(backend));

  int status = 0;
  {
    auto system = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
    GameDeveloperTools developer_tools;
    system->SetDeveloperTools(&developer_tools);
    running = system.get();
    std::optional<PresentRecorder> presents;
    if (options->dump_presents) {
      presents.emplace(*options->dump / "presents", err);
      system->planes().SetPresentHook(
          [&presents, &system] { presents->Presented(system->mainWindow().handle()); });
    }
    Deadline deadline{system.get()};
    if (options->until_ms) {
      platform::SetDeadline(
          *options->until_ms,
          [](void* context) {
            auto* d = static_cast<Deadline*>(context);
            d->hit = true;
            // Stopped where it stands, so that the last dump shows the moment of the limit.
            d->system->Halt();
          },
          &deadline);
    }
    if (options->timeout_s) {
      // Real time, for a game that takes too long to reach its virtual limit (or has none).
      hooks.SetRealTimeLimit(*options->timeout_s, [&deadline] {
        deadline.hit = true;
        deadline.system->Halt();
      });
    }
    system->RunSystem();
    status = RunExitStatus(system->ending(), deadline.hit);
    if (const uint64_t more = platform::BoxesNotKept())
      err << "talvex-tool run: " << more << " more boxes were not kept\n";
    if (system->ending() == GameSystem::Ending::kStartUpFailed)
      err << "talvex-tool run: the engine could not start\n";
    if (system->ending() == GameSystem::Ending::kStartScriptMissing)
      err << "talvex-tool run: the start script " << gbk::ToUtf8(system->startScript())
          << " could not be loaded from " << platform::PathText(options->game_dir) << "\n";
    if (options->dump &&
        !WriteDump(*options->dump, *system, hooks.Screen(system->mainWindow().handle()), err))
      status = kExitFailure;
    for (const uint32_t ms : hooks.pendingTimes())
      err << "talvex-tool run: the run ended before " << ms << " ms; no dump for that time\n";
    if (timed_dump_failed || (presents && presents->failed())) status = kExitFailure;
    system->planes().SetPresentHook(nullptr);
    running = nullptr;
    platform::SetDeadline(0, nullptr, nullptr);
    hooks.SetRealTimeLimit(0, nullptr);
  }
  platform::Uninstall();
  platform::SetProgramPathOverride({});
  if (!previous.empty()) fs::current_path(previous, ec);
  return status;
}

}  // namespace tvx::tool
