#include "tools/wav_command.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iomanip>

#include "platform/file.h"
#include "sound/ima_adpcm.h"
#include "sound/wave_format.h"
#include "tools/text_files.h"
#include "tools/wav/engine_sound.h"
#include "tools/wav/wav_data.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage =
    "usage: talvex-tool wav info FILE | convert IN OUT | adpcm IN OUT | loop FILE START END\n";
constexpr std::string_view kInfoUsage = "usage: talvex-tool wav info FILE\n";
constexpr std::string_view kConvertUsage = "usage: talvex-tool wav convert IN OUT\n";
constexpr std::string_view kAdpcmUsage = "usage: talvex-tool wav adpcm IN OUT\n";
constexpr std::string_view kLoopUsage = "usage: talvex-tool wav loop FILE START END\n";

constexpr std::string_view kInfoHelp =
    "Shows a wave file's format, length and loop, and whether the engine plays it as it is.\n";
constexpr std::string_view kConvertHelp =
    "Writes IN as 22050 Hz 16-bit mono PCM, the format of music and effects; a loop in IN is\n"
    "kept, moved to the new rate. OUT is replaced only once it is complete.\n";
constexpr std::string_view kAdpcmHelp =
    "Writes IN as 22050 Hz mono IMA ADPCM in 512-byte blocks, the format of voices (which do\n"
    "not loop). OUT is replaced only once it is complete.\n";
constexpr std::string_view kLoopHelp =
    "Makes FILE loop from sample frame START up to, not including, frame END (a loop it had\n"
    "is replaced). FILE is replaced only once it is complete.\n";

constexpr std::string_view kHelp =
    "talvex-tool wav: the engine's sound files.\n"
    "\n"
    "  talvex-tool wav info FILE             format, length and loop of a wave file\n"
    "  talvex-tool wav convert IN OUT        to 22050 Hz 16-bit mono PCM (music, effects)\n"
    "  talvex-tool wav adpcm IN OUT          to 22050 Hz mono IMA ADPCM, 512-byte blocks (voice)\n"
    "  talvex-tool wav loop FILE START END   make FILE loop from sample frame START up to,\n"
    "                                        not including, frame END\n"
    "\n"
    "IN may be PCM of 8, 16, 24 or 32 bits, 32-bit float or IMA ADPCM, any rate, any number\n"
    "of channels (they are mixed down). A loop in IN is kept by convert (moved to the new\n"
    "rate); voices do not loop. Files are replaced only once they are complete.\n";

std::optional<std::vector<uint8_t>> ReadFile(const std::string& path, std::string_view command,
                                             std::ostream& err) {
  return ReadInput("wav " + std::string(command), path, err);
}

// Whether the bytes start as a RIFF/WAVE file does; false after "'PATH' is not a RIFF/WAVE
// sound".
bool IsRiffWave(std::span<const uint8_t> bytes, const std::string& path, std::string_view command,
                std::ostream& err) {
  const auto has = [&](size_t at, std::string_view tag) {
    return bytes.size() >= at + tag.size() &&
           std::equal(tag.begin(), tag.end(), bytes.begin() + static_cast<ptrdiff_t>(at),
                      [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
  };
  if (has(0, "RIFF") && has(8, "WAVE")) return true;
  err << "wav " << command << ": '" << path
      << "' is not a RIFF/WAVE sound (no RIFF header naming WAVE)\n";
  return false;
}

std::optional<WavData> ReadWavFile(const std::string& path, std::string_view command,
                                   std::ostream& err) {
  const auto bytes = ReadFile(path, command, err);
  if (!bytes || !IsRiffWave(*bytes, path, command, err)) return std::nullopt;
  std::string error;
  auto wav = ReadWav(*bytes, error);
  if (!wav) err << "wav " << command << ": " << path << ": " << error << "\n";
  return wav;
}

bool Write(const std::string& path, std::span<const uint8_t> bytes, std::string_view command,
           std::ostream& err) {
  return WriteOutput("wav " + std::string(command), path, bytes, err);
}

std::optional<uint32_t> ParseFrame(const std::string& text) {
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int Info(const std::string& path, std::ostream& out, std::ostream& err) {
  const auto wav = ReadWavFile(path, "info", err);
  if (!wav) return kExitFailure;
  const WaveFormat& f = wav->format;
  const double seconds = f.samplesPerSec ? double(wav->Frames()) / f.samplesPerSec : 0;
  out << path << ": " << FormatName(f) << ", " << f.channels << " channel"
      << (f.channels == 1 ? "" : "s") << ", " << f.samplesPerSec << " Hz, " << f.bitsPerSample
      << " bits\n"
      << "  block align " << f.blockAlign << ", " << f.avgBytesPerSec << " bytes/s";
  if (f.tag == kWaveFormatImaAdpcm) out << ", " << f.samplesPerBlock << " samples per block";
  out << "\n  data " << wav->dataSize << " bytes, " << wav->Frames() << " frames, " << std::fixed
      << std::setprecision(3) << seconds << " s\n";
  if (wav->loop)
    out << "  loop: frames " << wav->loop->start << " to " << wav->loop->end << " (not included)\n";
  else
    out << "  no loop\n";
  const bool music = f == kPcmStreamFormat;
  const bool voice = f.tag == kVoiceSourceFormat.tag && f.channels == 1 &&
                     f.samplesPerSec == kEngineRate &&
                     f.blockAlign == kVoiceSourceFormat.blockAlign;
  out << "  engine: "
      << (music   ? "plays as music or an effect"
          : voice ? "plays as a voice"
                  : "not playable as it is (use convert or adpcm)")
      << "\n";
  return kExitOk;
}

int Convert(const std::string& in_path, const std::string& out_path, std::ostream& out,
            std::ostream& err) {
  const auto wav = ReadWavFile(in_path, "convert", err);
  if (!wav) return kExitFailure;
  if (const auto why = WhyNotConvertible(*wav, /*keeps_loop=*/true)) {
    err << "wav convert: " << in_path << ": " << *why << "\n";
    return kExitFailure;
  }
  const EngineSound music = MusicFile(*wav);
  if (!Write(out_path, music.file, "convert", err)) return kExitFailure;
  out << in_path << ": " << wav->Frames() << " frames at " << wav->format.samplesPerSec << " Hz -> "
      << out_path << ": " << music.frames << " frames, 22050 Hz 16-bit mono\n";
  return kExitOk;
}

int Adpcm(const std::string& in_path, const std::string& out_path, std::ostream& out,
          std::ostream& err) {
  const auto wav = ReadWavFile(in_path, "adpcm", err);
  if (!wav) return kExitFailure;
  if (const auto why = WhyNotConvertible(*wav, /*keeps_loop=*/false)) {
    err << "wav adpcm: " << in_path << ": " << *why << "\n";
    return kExitFailure;
  }
  const EngineSound voice = VoiceFile(*wav);
  if (!Write(out_path, voice.file, "adpcm", err)) return kExitFailure;
  out << in_path << " -> " << out_path << ": " << voice.frames << " frames in " << voice.blocks
      << " IMA ADPCM blocks\n";
  return kExitOk;
}

int Loop(const std::string& path, const std::string& start_text, const std::string& end_text,
         std::ostream& out, std::ostream& err) {
  const auto start = ParseFrame(start_text);
  const auto end = ParseFrame(end_text);
  if (!start || !end) {
    err << "wav loop: START and END are sample frame numbers\n" << kLoopUsage;
    return kExitUsage;
  }
  const auto bytes = ReadFile(path, "loop", err);
  if (!bytes || !IsRiffWave(*bytes, path, "loop", err)) return kExitFailure;
  std::string error;
  const auto wav = ReadWav(*bytes, error);
  if (!wav) {
    err << "wav loop: " << path << ": " << error << "\n";
    return kExitFailure;
  }
  if (*end <= *start || *end > wav->Frames()) {
    err << "wav loop: the loop must end after it starts and within the " << wav->Frames()
        << " frames of " << path << "\n";
    return kExitFailure;
  }
  const auto looped = ReplaceLoop(*bytes, LoopRecord{0, 0, *start, *end, 0, 0});
  if (!looped || !Write(path, *looped, "loop", err)) return kExitFailure;
  out << path << ": loops from frame " << *start << " up to frame " << *end << "\n";
  return kExitOk;
}

// The paths and numbers of an action: `count` arguments, none an option; --help anywhere
// shows the action's help. Nothing when the action ends at once with `exit_code`.
bool TakeArgs(CommandArgs args, size_t count, std::ostream& out, std::ostream& err,
              std::string_view usage, std::string_view help, int& exit_code) {
  for (const std::string& arg : args) {
    if (IsHelpFlag(arg)) {
      exit_code = Help(out, usage, help);
      return false;
    }
  }
  for (const std::string& arg : args) {
    if (IsOption(arg) || arg.empty()) {
      exit_code = Usage(err, usage);
      return false;
    }
  }
  if (args.size() != count) {
    exit_code = Usage(err, usage);
    return false;
  }
  return true;
}

int RunInfo(CommandArgs args, std::ostream& out, std::ostream& err) {
  int code = kExitOk;
  if (!TakeArgs(args, 1, out, err, kInfoUsage, kInfoHelp, code)) return code;
  return Info(args[0], out, err);
}

int RunConvert(CommandArgs args, std::ostream& out, std::ostream& err) {
  int code = kExitOk;
  if (!TakeArgs(args, 2, out, err, kConvertUsage, kConvertHelp, code)) return code;
  return Convert(args[0], args[1], out, err);
}

int RunAdpcm(CommandArgs args, std::ostream& out, std::ostream& err) {
  int code = kExitOk;
  if (!TakeArgs(args, 2, out, err, kAdpcmUsage, kAdpcmHelp, code)) return code;
  return Adpcm(args[0], args[1], out, err);
}

int RunLoop(CommandArgs args, std::ostream& out, std::ostream& err) {
  int code = kExitOk;
  if (!TakeArgs(args, 3, out, err, kLoopUsage, kLoopHelp, code)) return code;
  return Loop(args[0], args[1], args[2], out, err);
}

}  // namespace

int RunWav(CommandArgs args, std::ostream& out, std::ostream& err) {
  static constexpr Action kActions[] = {
      {"info", RunInfo}, {"convert", RunConvert}, {"adpcm", RunAdpcm}, {"loop", RunLoop}};
  return RunAction(args, out, err, "wav", kUsage, kHelp, kActions);
}

}  // namespace tvx::tool
