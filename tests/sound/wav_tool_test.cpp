// `talvex-tool wav`: conversion quality, the ADPCM encoder, loops and information.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "sound/ima_adpcm.h"
#include "sound/wave_chunks.h"
#include "tests/sound/sound_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/wav/ima_encoder.h"
#include "tools/wav/resampler.h"
#include "tools/wav/wav_data.h"
#include "tools/wav_command.h"

namespace tvx::testing {
namespace {

using tool::test::TempDir;

int Wav(std::vector<std::string> args, std::string* out = nullptr) {
  std::ostringstream o, e;
  const int status = tool::RunWav(args, o, e);
  if (out) *out = o.str() + e.str();
  return status;
}

void WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<float> Tone(double hz, uint32_t rate, double seconds, double amplitude) {
  std::vector<float> out(static_cast<size_t>(seconds * rate));
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<float>(amplitude * std::sin(2 * M_PI * hz * i / rate));
  return out;
}

// The amplitude of the `hz` component of a stretch of samples.
double Amplitude(std::span<const float> x, double hz, uint32_t rate) {
  double re = 0, im = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    re += x[i] * std::cos(2 * M_PI * hz * i / rate);
    im += x[i] * std::sin(2 * M_PI * hz * i / rate);
  }
  return 2 * std::hypot(re, im) / static_cast<double>(x.size());
}

TEST(WavResampler, KeepsThePassbandAndRemovesWhatWouldAlias) {
  // 44100 -> 22050: a 1 kHz tone passes at its level; a 15 kHz tone (which would fold to
  // 7050 Hz) is removed by more than 80 dB.
  auto in = Tone(1000, 44100, 1, 0.5);
  const auto high = Tone(15000, 44100, 1, 0.5);
  for (size_t i = 0; i < in.size(); ++i) in[i] += high[i];
  const auto out = tool::Resample(in, 44100, 22050);
  ASSERT_EQ(out.size(), 22050u);
  const auto middle = std::span(out).subspan(2000, 18000);
  EXPECT_NEAR(Amplitude(middle, 1000, 22050), 0.5, 0.005);
  EXPECT_LT(Amplitude(middle, 22050 - 15000, 22050), 0.5e-4);
  // Upsampling 11025 -> 22050: the tone, and no image at 11025 - 1000 Hz.
  const auto up = tool::Resample(Tone(1000, 11025, 1, 0.5), 11025, 22050);
  ASSERT_EQ(up.size(), 22050u);
  EXPECT_NEAR(Amplitude(std::span(up).subspan(2000, 18000), 1000, 22050), 0.5, 0.005);
  EXPECT_LT(Amplitude(std::span(up).subspan(2000, 18000), 10025, 22050), 0.5e-4);
}

TEST(WavEncoder, BlocksHoldTheirSamplesAndDecodeCloseToTheSource) {
  std::vector<int16_t> samples(3 * 1017 + 100);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(9000 * std::sin(i * 0.05) + 4000 * std::sin(i * 0.71));
  const auto blocks = tool::EncodeImaAdpcm(samples, 512);
  // Three whole blocks, then 100 samples: a header and 99 samples in whole 4-byte groups.
  ASSERT_EQ(blocks.size(), 3u * 512 + 4 + 52);
  std::vector<int16_t> decoded;
  std::array<int16_t, 1017> out{};
  for (size_t at = 0; at < blocks.size(); at += 512) {
    const auto block = std::span(blocks).subspan(at, std::min<size_t>(512, blocks.size() - at));
    EXPECT_EQ(bytes::LoadLe16(block, 0), static_cast<uint16_t>(samples[at / 512 * 1017]));
    const auto n = ima::DecodeBlock(block, 1, out);
    ASSERT_TRUE(n);
    decoded.insert(decoded.end(), out.begin(), out.begin() + static_cast<ptrdiff_t>(*n));
  }
  ASSERT_GE(decoded.size(), samples.size());
  double signal = 0, noise = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    signal += double(samples[i]) * samples[i];
    noise += (double(samples[i]) - decoded[i]) * (double(samples[i]) - decoded[i]);
  }
  EXPECT_GT(10 * std::log10(signal / noise), 30.0);
}

TEST(WavCommand, ConvertsToTheMusicFormatAndTheVoiceFormat) {
  TempDir dir;
  // 44.1 kHz stereo 16-bit with a loop: mixed down, resampled, the loop moved with it.
  const auto left = Tone(440, 44100, 0.5, 0.4);
  std::vector<int16_t> stereo;
  for (const float v : left) {
    stereo.push_back(static_cast<int16_t>(v * 32767));
    stereo.push_back(static_cast<int16_t>(-v * 32767 / 2));
  }
  WriteFile(dir / "in.wav",
            WavBuilder().Format(1, 2, 44100, 16).Data(stereo).Smpl(1, 4410, 8820).Build());
  ASSERT_EQ(Wav({"convert", dir / "in.wav", dir / "out.wav"}), 0);
  std::string error;
  const auto out = tool::ReadWav(ReadBytes(dir / "out.wav"), error);
  ASSERT_TRUE(out) << error;
  EXPECT_EQ(out->format, kPcmStreamFormat);
  EXPECT_EQ(out->Frames(), 11025u);
  ASSERT_TRUE(out->loop);
  EXPECT_EQ(out->loop->start, 2205u);
  EXPECT_EQ(out->loop->end, 4410u);
  EXPECT_NEAR(Amplitude(std::span(out->channels[0]).subspan(1000, 9000), 440, 22050), 0.1, 0.003);

  ASSERT_EQ(Wav({"adpcm", dir / "in.wav", dir / "voice.wav"}), 0);
  const auto voice = ReadBytes(dir / "voice.wav");
  const auto chunks = ReadWaveChunks(voice, true);
  ASSERT_TRUE(chunks && chunks->format);
  EXPECT_EQ(*chunks->format, kVoiceSourceFormat);
  EXPECT_EQ(chunks->dataSize, 10u * 512 + 432);  // 11025 samples = 10 × 1017 + 855
  std::string info;
  EXPECT_EQ(Wav({"info", dir / "voice.wav"}, &info), 0);
  EXPECT_NE(info.find("IMA ADPCM"), std::string::npos);
  EXPECT_NE(info.find("plays as a voice"), std::string::npos);
}

TEST(WavCommand, LoopsAreWrittenWhereTheyFitAndRefusedWhereTheyDoNot) {
  TempDir dir;
  const auto samples = Pattern(1000);
  const std::vector<uint8_t> odd = {1, 2, 3};
  WriteFile(dir / "a.wav",
            WavBuilder().Format().Chunk("LIST", odd).Data(samples).Smpl(1, 1, 2).Build());
  std::string text;
  EXPECT_EQ(Wav({"loop", dir / "a.wav", "100", "900"}, &text), 0) << text;
  const auto bytes = ReadBytes(dir / "a.wav");
  auto chunks = ReadWaveChunks(bytes, true);
  ASSERT_TRUE(chunks && chunks->loop);
  EXPECT_EQ(chunks->loop->start, 100u);
  EXPECT_EQ(chunks->loop->end, 900u);
  std::string error;
  const auto wav = tool::ReadWav(bytes, error);
  ASSERT_TRUE(wav);
  EXPECT_EQ(wav->Frames(), 1000u);  // the samples are untouched
  EXPECT_EQ(Wav({"loop", dir / "a.wav", "900", "900"}, &text), 1);
  EXPECT_EQ(Wav({"loop", dir / "a.wav", "0", "1001"}, &text), 1);
  EXPECT_EQ(Wav({"loop", dir / "a.wav", "x", "10"}, &text), 2);
  EXPECT_EQ(ReadBytes(dir / "a.wav"), bytes);  // a refused loop changes nothing
  EXPECT_EQ(Wav({"info", dir / "missing.wav"}, &text), 1);
  EXPECT_NE(text.find("cannot read"), std::string::npos);
  WriteFile(dir / "b.wav", std::vector<uint8_t>{'R', 'I', 'F', 'F'});
  EXPECT_EQ(Wav({"convert", dir / "b.wav", dir / "c.wav"}, &text), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "c.wav"));
  EXPECT_EQ(Wav({"frobnicate"}), 2);
  EXPECT_EQ(Wav({"--help"}, &text), 0);
}

TEST(WavCommand, MadeUpRatesAndLoopsAreRefusedAndNothingIsWritten) {
  TempDir dir;
  const auto samples = Pattern(1000);
  const struct {
    const char* what;
    std::vector<uint8_t> file;
    const char* error;   // for convert
    bool voice_refused;  // voices drop the loop: only the rate matters to adpcm
  } cases[] = {
      {"rate 0", WavBuilder().Format(1, 1, 0, 16).Data(samples).Build(),
       "a sample rate of 0 Hz is not supported (1000-192000 Hz)", true},
      {"rate 999", WavBuilder().Format(1, 1, 999, 16).Data(samples).Build(),
       "a sample rate of 999 Hz is not supported (1000-192000 Hz)", true},
      {"rate 192001", WavBuilder().Format(1, 1, 192001, 16).Data(samples).Build(),
       "a sample rate of 192001 Hz is not supported (1000-192000 Hz)", true},
      {"loop ending before it starts",
       WavBuilder().Format().Data(samples).Smpl(1, 500, 100).Build(),
       "the loop (frames 500 to 100) must end after it starts and within the 1000 frames of the "
       "data",
       false},
      {"loop beyond the data", WavBuilder().Format().Data(samples).Smpl(1, 100, 5000).Build(),
       "the loop (frames 100 to 5000) must end after it starts and within the 1000 frames of "
       "the data",
       false},
      // Without the check these ask for a 27 GB filter table and 17.6 GB of samples.
      {"rate 0xFFFFFFFF", WavBuilder().Format(1, 1, 0xFFFFFFFF, 16).Data(samples).Build(),
       "a sample rate of 4294967295 Hz is not supported (1000-192000 Hz)", true},
      {"rate 1", WavBuilder().Format(1, 1, 1, 16).Data(samples).Build(),
       "a sample rate of 1 Hz is not supported (1000-192000 Hz)", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(dir / "in.wav", c.file);
    std::string text;
    EXPECT_EQ(Wav({"convert", dir / "in.wav", dir / "out.wav"}, &text), 1);
    EXPECT_EQ(text, "wav convert: " + (dir / "in.wav") + ": " + c.error + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));
    EXPECT_EQ(Wav({"adpcm", dir / "in.wav", dir / "voice.wav"}, &text), c.voice_refused ? 1 : 0)
        << text;
    EXPECT_EQ(std::filesystem::exists(dir / "voice.wav"), !c.voice_refused);
    std::filesystem::remove(dir / "voice.wav");
  }
  // The ends of the range are taken.
  for (const uint32_t rate : {1000u, 192000u}) {
    WriteFile(dir / "in.wav", WavBuilder().Format(1, 1, rate, 16).Data(samples).Build());
    EXPECT_EQ(Wav({"convert", dir / "in.wav", dir / "out.wav"}), 0) << rate;
  }
}

}  // namespace
}  // namespace tvx::testing
