// The SoundManager: the channel table, remembered volumes, playing named files through the
// ArchiveSet (loose files here), fades by channel, sound on and off, and the record of it all.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "archive/archive_set.h"
#include "platform/platform.h"
#include "script/variable_area.h"
#include "sound/sound_manager.h"
#include "tests/sound/sound_test_support.h"

namespace tvx::testing {
namespace {

using platform::SoundDevice;
constexpr size_t kRate = 22050;

class ManagerTest : public HeadlessTest {
 protected:
  void TearDown() override {
    manager_.reset();
    archives_.reset();
    HeadlessTest::TearDown();
  }
  // Starts the platform and a manager over loose files; Init's result.
  int Start() {
    StartPlatform();
    variables_ = std::make_unique<VariableArea>();
    archives_ = std::make_unique<ArchiveSet>();
    EXPECT_EQ(archives_->OpenAll(ArchiveOptions::Read(SettingsFile())), 1);
    manager_ = std::make_unique<SoundManager>(archives_.get());
    return manager_->Init(SoundVolumes::Read(SettingsFile()));
  }
  void Write(const std::string& name, std::span<const uint8_t> bytes) {
    std::ofstream(dir() / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<std::string> Events() {
    std::vector<std::string> out;
    for (const auto& e : manager_->log().Events())
      out.push_back(std::to_string(e.channel) + " " + e.what + " " + e.name);
    return out;
  }

  std::unique_ptr<VariableArea> variables_;
  std::unique_ptr<ArchiveSet> archives_;
  std::unique_ptr<SoundManager> manager_;
};

TEST_F(ManagerTest, VolumesComeFromTheSettingsAndAreRememberedUnclamped) {
  ASSERT_EQ(Start(), 1);
  // No VOLUME section: music and effects at -500, voice at 0.
  EXPECT_EQ(manager_->GetChannelVolume(0), -500);
  EXPECT_EQ(manager_->GetChannelVolume(1), 0);
  EXPECT_EQ(manager_->GetChannelVolume(2), -500);
  EXPECT_EQ(manager_->GetChannelVolume(3), -500);
  EXPECT_EQ(manager_->AppliedVolume(3), -500);
  manager_.reset();
  platform::Uninstall();

  WriteSettings("[VOLUME]\nMusic=-8000\nEffect=-2500\nVoice=-100\n");
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(manager_->GetChannelVolume(0), -8000);
  EXPECT_EQ(manager_->AppliedVolume(0), -6000);
  EXPECT_EQ(manager_->AppliedVolume(2), -2500);
  EXPECT_EQ(manager_->AppliedVolume(1), -100);
  // Channel 3 sets both effect streams and the one remembered effect volume.
  manager_->SetChannelVolume(3, -1200, true);
  EXPECT_EQ(manager_->GetChannelVolume(2), -1200);
  EXPECT_EQ(manager_->AppliedVolume(2), -1200);
  EXPECT_EQ(manager_->AppliedVolume(3), -1200);
  // Without remembering, only the streams change.
  manager_->SetChannelVolume(1, -900);
  EXPECT_EQ(manager_->GetChannelVolume(1), -100);
  EXPECT_EQ(manager_->AppliedVolume(1), -900);
  // Channels outside 0-3 do nothing.
  manager_->SetChannelVolume(4, -3000, true);
  EXPECT_EQ(manager_->GetChannelVolume(4), 0);
  EXPECT_EQ(manager_->GetChannelVolume(-1), 0);
  EXPECT_EQ(manager_->IsChannelPlaying(7), 0);
  EXPECT_EQ(manager_->StopChannel(-2), 0);
  EXPECT_EQ(manager_->PlayFile("X.WAV", 9), 0);
}

TEST_F(ManagerTest, SoundOffMutesMusicAndEffectsAndOnRestoresWhatWasRemembered) {
  WriteSettings("[VOLUME]\nMusic=-300\nEffect=-700\n");
  ASSERT_EQ(Start(), 1);
  manager_->ApplySoundSwitch(false);
  EXPECT_EQ(manager_->AppliedVolume(0), -6000);
  EXPECT_EQ(manager_->AppliedVolume(2), -6000);
  EXPECT_EQ(manager_->AppliedVolume(3), -6000);
  EXPECT_EQ(manager_->AppliedVolume(1), 0);  // the voice has a switch of its own
  EXPECT_EQ(manager_->GetChannelVolume(0), -300);
  manager_->ApplySoundSwitch(true);
  EXPECT_EQ(manager_->AppliedVolume(0), -300);
  EXPECT_EQ(manager_->AppliedVolume(3), -700);
}

TEST_F(ManagerTest, ChannelsPlayStopAndFadeOnTheirOwn) {
  const auto looped = WavBuilder().Format().Data(Pattern(kRate)).Smpl(1, 0, kRate).Build();
  Write("BGM.WAV", looped);
  Write("SE1.WAV", looped);
  Write("SE2.WAV", looped);
  Write("ONCE.WAV", PcmFile(Pattern(kRate / 4)));
  Write("VOICE.WAV", ReadBytes(std::string(TALVEX_SOUND_DATA) + "/ima_exact.wav"));
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(manager_->PlayFile("BGM.WAV", 0), 1);
  EXPECT_EQ(manager_->PlayFile("SE1.WAV", 2), 1);
  EXPECT_EQ(manager_->PlayFile("SE2.WAV", 3), 1);
  EXPECT_EQ(manager_->PlayFile("voice.wav", 1), 1);  // loose names are found in any case
  for (int channel = 0; channel < 4; ++channel) EXPECT_EQ(manager_->IsChannelPlaying(channel), 1);
  // A new file on a playing channel replaces the old one; the other effect plays on.
  EXPECT_EQ(manager_->PlayFile("ONCE.WAV", 2), 1);
  EXPECT_EQ(manager_->IsChannelPlaying(3), 1);
  backend().AdvanceMicros(400000);
  EXPECT_EQ(manager_->IsChannelPlaying(2), 0);  // the short file ended by itself
  EXPECT_EQ(manager_->IsChannelPlaying(1), 0);  // and so did the voice
  // The voice does not fade.
  EXPECT_EQ(manager_->PlayFile("VOICE.WAV", 1), 1);
  manager_->FadeOutFast(1);
  backend().AdvanceMicros(100000);
  EXPECT_EQ(manager_->IsChannelPlaying(1), 1);
  EXPECT_EQ(manager_->Stream(1)->BufferVolume(), 0);
  // Music fades out fast (10 dB per 100 ms) and stops; the effect keeps playing.
  manager_->FadeOutFast(0);
  backend().AdvanceMicros(1000000);
  EXPECT_EQ(manager_->IsChannelPlaying(0), 0);
  EXPECT_EQ(manager_->IsChannelPlaying(3), 1);
  EXPECT_EQ(manager_->StopChannel(3), 1);
  EXPECT_EQ(manager_->IsChannelPlaying(3), 0);
  // A file that is not there shows the file layer's box and plays nothing.
  EXPECT_EQ(manager_->PlayFile("NONE.WAV", 0), 0);
  EXPECT_EQ(manager_->IsChannelPlaying(0), 0);
  ASSERT_EQ(backend().boxes().size(), 1u);
  EXPECT_EQ(backend().boxes()[0].caption, Gbk("文件打开错误"));
  EXPECT_EQ(Events(), (std::vector<std::string>{
                          "0 play BGM.WAV", "2 play SE1.WAV", "3 play SE2.WAV", "1 play voice.wav",
                          "2 stop SE1.WAV", "2 play ONCE.WAV", "1 end voice.wav", "2 end ONCE.WAV",
                          "1 play VOICE.WAV", "0 fade-fast BGM.WAV", "1 end VOICE.WAV",
                          "0 fade-end BGM.WAV", "3 stop SE2.WAV", "0 missing NONE.WAV"}));
}

class NoSoundOutput : public platform::HeadlessBackend {
 public:
  bool OpenSoundOutput(platform::SoundDevice&) override { return false; }
};

TEST_F(ManagerTest, WithoutASoundDeviceInitShowsItsBoxAndFails) {
  platform::Install(std::make_unique<NoSoundOutput>());
  SoundManager manager;
  EXPECT_EQ(manager.Init(SoundVolumes{}), 0);
  ASSERT_EQ(platform::ShownBoxes().size(), 1u);
  EXPECT_EQ(platform::ShownBoxes()[0].caption, Gbk("系统错误"));
  EXPECT_EQ(platform::ShownBoxes()[0].text, Gbk("DirectSound不能使用。"));
  // Nothing works, nothing breaks.
  EXPECT_EQ(manager.PlayFile("X.WAV", 0), 0);
  EXPECT_EQ(manager.IsChannelPlaying(0), 0);
  manager.FadeOutSlow(0);
  manager.SetChannelVolume(0, -100, true);
  EXPECT_EQ(manager.GetChannelVolume(0), -100);
}

}  // namespace
}  // namespace tvx::testing
