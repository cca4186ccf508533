// System calls 5 and 6 in scripts run on a headless game: what the mixed output holds, and
// when; the switches that silence them; the names shown; the interface sounds.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/sound_device.h"
#include "sound/ima_adpcm.h"
#include "tests/script/script_fixture.h"
#include "tests/sound/sound_test_support.h"
#include "tools/wav/ima_encoder.h"
#include "tools/wav/wav_data.h"

namespace tvx::testing {
namespace {

using platform::SoundDevice;
constexpr double kRate = 22050;

std::vector<int16_t> Sine(double hz, double seconds, double amplitude) {
  std::vector<int16_t> out(static_cast<size_t>(seconds * kRate));
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * hz * i / kRate)));
  return out;
}

int16_t Scaled(int16_t sample, int32_t volume) {
  return static_cast<int16_t>((int64_t{sample} * SoundDevice::GainQ16(volume)) >> 16);
}

class SoundScriptTest : public ScriptTest {
 protected:
  std::vector<int16_t> Left() {
    const auto all = backend().RecordedSound();
    std::vector<int16_t> out(all.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = all[2 * i];
    return out;
  }
  // The time of the first sound event of this kind on this channel, in ms; -1 if none.
  int64_t EventTime(int channel, std::string_view what) {
    for (const auto& e : system_->sound()->log().Events())
      if (e.channel == channel && e.what == what) return e.time;
    return -1;
  }
  std::vector<std::string> Events() {
    std::vector<std::string> out;
    for (const auto& e : system_->sound()->log().Events())
      out.push_back(std::to_string(e.channel) + " " + e.what + " " + e.name);
    return out;
  }
  static constexpr std::string_view kEnable = "SET_DIM16 2, 0, DIM16[0][2] | 0x300\n";
};

TEST_F(SoundScriptTest, MusicEffectsAndAVoiceLineAreMixedAtTheirTimesAndVolumes) {
  // Looping music (one second of 220 Hz), two effects and a voice line.
  const auto music = Sine(220, 1, 8000);
  WriteBytes("BGM.WAV", WavBuilder().Format().Data(music).Smpl(1, 0, 22050).Build());
  const auto se1 = Sine(1000, 0.5, 10000);
  const auto se2 = Sine(1500, 0.3, 6000);
  WriteBytes("SE1.WAV", PcmFile(se1));
  WriteBytes("SE2.WAV", PcmFile(se2));
  const auto voice = Sine(700, 1.2, 12000);
  const auto blocks = tool::EncodeImaAdpcm(voice, 512);
  WriteBytes("VOICE1.WAV",
             tool::WriteImaAdpcm(blocks, static_cast<uint32_t>(voice.size()), kVoiceSourceFormat));
  std::vector<int16_t> voice_decoded;
  for (size_t at = 0; at < blocks.size(); at += 512) {
    std::array<int16_t, 1017> block{};
    const auto n = ima::DecodeBlock(
        std::span(blocks).subspan(at, std::min<size_t>(512, blocks.size() - at)), 1, block);
    ASSERT_TRUE(n);
    voice_decoded.insert(voice_decoded.end(), block.begin(),
                         block.begin() + static_cast<ptrdiff_t>(*n));
  }
  WriteSettings("[VOLUME]\nMusic=-600\nEffect=-300\nVoice=0\n");
  Script("MAIN.MES", std::string(kEnable) + R"(
    SYSCALL 5, 0, "BGM.WAV"      ; music from the start
    SYSCALL 11, 267              ; 66 ticks: 990 ms
    SYSCALL 5, 3, "SE1.WAV"      ; the first effect
    SYSCALL 5, 9                 ; and wait for its end
    SYSCALL 11, 267
    SYSCALL 5, 3, "SE2.WAV"
    SYSCALL 5, 9
    SYSCALL 6, 2, "VOICE1.WAV"   ; a voice line, waited for
    SYSCALL 5, 1                 ; the music fades out
    SYSCALL 11, 1000
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Events(), (std::vector<std::string>{"0 play BGM.WAV", "2 play SE1.WAV", "2 end SE1.WAV",
                                                "2 play SE2.WAV", "2 end SE2.WAV",
                                                "1 play VOICE1.WAV", "1 end VOICE1.WAV",
                                                "0 fade-slow BGM.WAV", "0 fade-end BGM.WAV"}));
  const auto out = Left();
  const int64_t music_ms = EventTime(0, "play"), se1_ms = EventTime(2, "play");
  const int64_t voice_ms = EventTime(1, "play"), fade_ms = EventTime(0, "fade-slow");
  EXPECT_LE(music_ms, 10);
  EXPECT_NEAR(static_cast<double>(se1_ms - music_ms), 990, 20);
  // Until the fade, the music is there sample for sample at -6 dB; what lies on top of it is
  // exactly the effects at -3 dB and the voice at full volume, each from its call on. (Every
  // sound here starts with a zero sample: a start is the frame before the first non-zero.)
  size_t music_start = 0;
  while (out[music_start] == 0) ++music_start;
  --music_start;
  EXPECT_NEAR(music_start / kRate * 1000, static_cast<double>(music_ms), 1.05);
  auto music_at = [&](size_t f) {
    return f < music_start ? int16_t{0} : Scaled(music[(f - music_start) % music.size()], -600);
  };
  auto rest = [&](size_t f) { return out[f] - music_at(f); };
  auto onset = [&](int64_t ms) {
    size_t f = static_cast<size_t>(static_cast<double>(ms) * kRate / 1000) - 30;
    while (rest(f) == 0) ++f;
    return f - 1;
  };
  const size_t se1_start = onset(se1_ms);
  EXPECT_NEAR(se1_start / kRate * 1000, static_cast<double>(se1_ms), 1.05);
  for (size_t i = 0; i < se1.size(); ++i)
    ASSERT_EQ(rest(se1_start + i), Scaled(se1[i], -300)) << "effect frame " << i;
  const size_t voice_start = onset(voice_ms);
  EXPECT_NEAR(voice_start / kRate * 1000, static_cast<double>(voice_ms), 1.05);
  for (size_t i = 0; i < voice_decoded.size(); ++i)
    ASSERT_EQ(rest(voice_start + i), voice_decoded[i]) << "voice frame " << i;
  const auto fade_frame = static_cast<size_t>(static_cast<double>(fade_ms) * kRate / 1000);
  for (size_t f = voice_start + voice_decoded.size(); f < fade_frame; ++f) ASSERT_EQ(rest(f), 0);
  // The fade: quieter every 100 ms, silent after it ends.
  auto peak = [&](int64_t from_ms, int64_t to_ms) {
    int peak = 0;
    for (auto f = static_cast<size_t>(from_ms * 22050 / 1000); f < size_t(to_ms * 22050 / 1000);
         ++f)
      peak = std::max(peak, std::abs(int{out[f]}));
    return peak;
  };
  EXPECT_NEAR(peak(100, 900), 8000 * std::pow(10, -0.3), 2);
  EXPECT_LT(peak(fade_ms + 600, fade_ms + 700), peak(fade_ms + 100, fade_ms + 200) / 2);
  const int64_t end_ms = EventTime(0, "fade-end");
  EXPECT_NEAR(static_cast<double>(end_ms - fade_ms), 3100, 100);
  EXPECT_EQ(peak(end_ms + 60, end_ms + 500), 0);
  // The NOW FILE slots: 4 music, 5 voice, 6 the first effect channel.
  std::vector<std::string> shown;
  for (const auto& f : system_->shownFiles())
    if (f.slot >= 4) shown.push_back(std::to_string(f.slot) + " " + f.name);
  EXPECT_EQ(shown, (std::vector<std::string>{"4 BGM.WAV", "6 SE1.WAV", "6 ********.WAV",
                                             "6 SE2.WAV", "6 ********.WAV", "5 VOICE1.WAV",
                                             "5 ********.WAV", "4 ********.WAV"}));
}

TEST_F(SoundScriptTest, EveryCallButThePlaysResetsAShownName) {
  WriteBytes("BGM.WAV", PcmFile(Sine(220, 1, 8000)));
  WriteBytes("SE1.WAV", PcmFile(Sine(1000, 1, 8000)));
  Script("MAIN.MES", std::string(kEnable) + R"(
    SYSCALL 5, 0, "BGM.WAV"
    SYSCALL 5, 3, "SE1.WAV"
    SYSCALL 5, 10               ; no such sub-function: the music's name goes, nothing stops
    SYSCALL 5, 4                ; the effect stops, its name goes
    SYSCALL 5, 0x10000
    SYSCALL 5, 2                ; the music stops
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Events(), (std::vector<std::string>{"0 play BGM.WAV", "2 play SE1.WAV",
                                                "2 stop SE1.WAV", "0 stop BGM.WAV"}));
  std::vector<std::string> shown;
  for (const auto& f : system_->shownFiles())
    if (f.slot >= 4) shown.push_back(std::to_string(f.slot) + " " + f.name);
  EXPECT_EQ(shown,
            (std::vector<std::string>{"4 BGM.WAV", "6 SE1.WAV", "4 ********.WAV", "6 ********.WAV",
                                      "4 ********.WAV", "4 ********.WAV"}));
}

TEST_F(SoundScriptTest, SwitchesAndFlagsSilenceTheCalls) {
  WriteBytes("BGM.WAV", PcmFile(Sine(220, 1, 8000)));
  WriteBytes("V.WAV", ReadBytes(std::string(TALVEX_SOUND_DATA) + "/ima_exact.wav"));
  // Without the system flags' bits nothing plays; VOICE=0 silences call 6 alone.
  WriteSettings("[Config]\nVOICE=0\n");
  Script("MAIN.MES", R"(
    SYSCALL 5, 0, "BGM.WAV"
    SYSCALL 6, 0, "V.WAV"
    SET_DIM16 2, 0, DIM16[0][2] | 0x300
    SYSCALL 6, 0, "V.WAV"
    SYSCALL 5, 6, "BGM.WAV"     ; play and wait for the end (one second)
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Events(), (std::vector<std::string>{"0 play BGM.WAV", "0 end BGM.WAV"}));
  EXPECT_NEAR(static_cast<double>(EventTime(0, "end")), 1000, 60);
}

TEST_F(SoundScriptTest, CtrlSkipsVoicesAndSoundOffStopsInsteadOfFading) {
  WriteBytes("V.WAV", ReadBytes(std::string(TALVEX_SOUND_DATA) + "/ima_exact.wav"));
  WriteBytes("BGM.WAV", WavBuilder().Format().Data(Sine(220, 1, 8000)).Smpl(1, 0, 22050).Build());
  WriteSettings("[Config]\nSOUND=0\n");
  Script("MAIN.MES", std::string(kEnable) + R"(
    SYSCALL 5, 0, "BGM.WAV"
    SYSCALL 5, 1                ; sound off: stopped at once, not faded
    SYSCALL 5, 7                ; nor waited for
    SYSCALL 11, 400
    SYSCALL 6, 0, "V.WAV"       ; Ctrl is down: not played
    SYSCALL 6, 2, "V.WAV"       ; sub-function 2 plays all the same
    END
  )");
  EXPECT_EQ(Run("300 key down Ctrl\n"), 0);
  EXPECT_EQ(Events(), (std::vector<std::string>{"0 play BGM.WAV", "0 stop BGM.WAV", "1 play V.WAV",
                                                "1 end V.WAV"}));
  // Muted music is still played (at -6000), so switching sound on makes it heard.
  EXPECT_EQ(system_->sound()->AppliedVolume(0), -6000);
}

TEST_F(SoundScriptTest, InterfaceSoundsPlayOnChannelThreeWhileSwitchedOn) {
  WriteBytes("ERROR.WAV", PcmFile(Sine(400, 0.2, 5000)));
  WriteBytes("WINOPN.WAV", PcmFile(Sine(600, 0.2, 5000)));
  Script("MAIN.MES", "EFFECT 11\nEND\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(system_->shared().interfaceSounds, 1u);
  system_->PlaySystemSound("ERROR.WAV");
  EXPECT_EQ(system_->sound()->IsChannelPlaying(3), 1);
  system_->shared().interfaceSounds = 0;  // as EFFECT 12 leaves it
  system_->PlaySystemSound("WINOPN.WAV");
  EXPECT_EQ(Events(), (std::vector<std::string>{"3 play ERROR.WAV"}));
}

}  // namespace
}  // namespace tvx::testing
