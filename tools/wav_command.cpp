#include "tools/wav_command.h"

#include <charconv>
#include <cmath>
#include <iomanip>

#include "platform/file.h"
#include "sound/ima_adpcm.h"
#include "sound/wave_format.h"
#include "tools/wav/engine_sound.h"
#include "tools/wav/wav_data.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage =
    "usage: talvex-tool wav info FILE | convert IN OUT | adpcm IN OUT | loop FILE START END\n";

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
  auto bytes = platform::ReadWholeFile(path);
  if (!bytes) err << "wav " << command << ": " << path << ": cannot read the file\n";
  return bytes;
}

std::optional<WavData> ReadWavFile(const std::string& path, std::string_view command,
                                   std::ostream& err) {
  const auto bytes = ReadFile(path, command, err);
  if (!bytes) return std::nullopt;
  std::string error;
  auto wav = ReadWav(*bytes, error);
  if (!wav) err << "wav " << command << ": " << path << ": " << error << "\n";
  return wav;
}

bool Write(const std::string& path, std::span<const uint8_t> bytes, std::string_view command,
           std::ostream& err) {
  if (platform::WriteFileAtomically(path, bytes)) return true;
  err << "wav " << command << ": " << path << ": cannot write the file\n";
  return false;
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
    err << "wav loop: START and END are sample frame numbers\n" << kUsage;
    return kExitUsage;
  }
  const auto bytes = ReadFile(path, "loop", err);
  if (!bytes) return kExitFailure;
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

}  // namespace

int RunWav(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (!args.empty() && IsHelpFlag(args[0])) {
    out << kUsage << "\n" << kHelp;
    return kExitOk;
  }
  if (args.size() == 2 && args[0] == "info") return Info(args[1], out, err);
  if (args.size() == 3 && args[0] == "convert") return Convert(args[1], args[2], out, err);
  if (args.size() == 3 && args[0] == "adpcm") return Adpcm(args[1], args[2], out, err);
  if (args.size() == 4 && args[0] == "loop") return Loop(args[1], args[2], args[3], out, err);
  err << kUsage;
  return kExitUsage;
}

}  // namespace tvx::tool
