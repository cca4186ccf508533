#include "sound/sound_manager.h"

#include <utility>

#include "archive/archive_set.h"
#include "platform/error_box.h"
#include "resources/gbk.h"

namespace tvx {

namespace {

constexpr uint32_t kFadeInterval = 1;  // a step every second feeder pass: 100 ms
constexpr int32_t kFadeTarget = -5000;
constexpr int32_t kSlowStep = 150;
constexpr int32_t kFastStep = 1000;

bool ValidChannel(int channel) {
  return channel >= 0 && channel < SoundManager::kChannels;
}

}  // namespace

SoundManager::SoundManager(ArchiveSet* archives)
    : music_(module_), effect1_(module_), effect2_(module_), voice_(module_), archives_(archives) {
  for (int channel = 0; channel < kChannels; ++channel) Watch(channel);
}

SoundManager::~SoundManager() {
  music_.Stop();
  voice_.Stop();
  effect1_.Stop();
  effect2_.Stop();
  music_.Release();
  effect1_.Release();
  effect2_.Release();
  voice_.Release();
  module_.Shutdown();
}

WaveStream* SoundManager::Stream(int channel) {
  return const_cast<WaveStream*>(std::as_const(*this).Stream(channel));
}

const WaveStream* SoundManager::Stream(int channel) const {
  switch (channel) {
    case kMusic:
      return &music_;
    case kVoice:
      return &voice_;
    case kEffect1:
      return &effect1_;
    case kEffect2:
      return &effect2_;
    default:
      return nullptr;
  }
}

void SoundManager::Watch(int channel) {
  // Self-stops are recorded with the name of the file that ended.
  Stream(channel)->SetStopObserver([this, channel](WaveStream::SelfStop why) {
    log_.Add(channel, why == WaveStream::SelfStop::End ? "end" : "fade-end",
             names_[static_cast<size_t>(channel)]);
  });
}

SoundVolumes SoundVolumes::Read(const SettingsFile& settings) {
  return {settings.ReadInt("VOLUME", "Music", -500), settings.ReadInt("VOLUME", "Effect", -500),
          settings.ReadInt("VOLUME", "Voice", 0)};
}

int SoundManager::Init(const SoundVolumes& volumes) {
  if (module_.Init(kPrimaryFormat) != SoundModule::kOk) {
    ErrorBox(gbk::FromUtf8("系统错误"), gbk::FromUtf8("DirectSound不能使用。"));
    return 0;
  }
  if (!music_.Create(kPcmStreamFormat, kStagingSize)) return 0;
  if (!effect1_.Create(kPcmStreamFormat, kStagingSize)) return 0;
  if (!effect2_.Create(kPcmStreamFormat, kStagingSize)) return 0;
  if (!voice_.CreateCompressed(kVoiceSourceFormat)) return 0;
  effect_volume_ = volumes.effect;
  music_volume_ = volumes.music;
  voice_volume_ = volumes.voice;
  effect1_.SetVolume(effect_volume_);
  effect2_.SetVolume(effect_volume_);
  music_.SetVolume(music_volume_);
  voice_.SetVolume(voice_volume_);
  return 1;
}

int SoundManager::PlayFile(std::string_view name, int channel) {
  if (!ValidChannel(channel)) return 0;
  WaveStream& stream = *Stream(channel);
  if (IsChannelPlaying(channel)) log_.Add(channel, "stop", names_[static_cast<size_t>(channel)]);
  // The stream lets go of the channel's handle before the ArchiveSet touches it.
  stream.Stop();
  names_[static_cast<size_t>(channel)] = std::string(name);
  platform::File* file = nullptr;
  if (archives_) {
    archives_->CloseSoundFile(channel);
    std::string lookup(name);
    file = archives_->OpenSoundFile(lookup, channel);
  }
  if (!file) {
    log_.Add(channel, "missing", name);
    return 0;
  }
  stream.Open(file);
  const int playing = stream.Play() ? 1 : 0;
  log_.Add(channel, playing ? "play" : "unplayable", name);
  return playing;
}

int SoundManager::StopChannel(int channel) {
  if (!ValidChannel(channel)) return 0;
  if (IsChannelPlaying(channel)) log_.Add(channel, "stop", names_[static_cast<size_t>(channel)]);
  return Stream(channel)->Stop() ? 1 : 0;
}

void SoundManager::Fade(int channel, int32_t step, std::string_view what) {
  if (!ValidChannel(channel) || channel == kVoice) return;
  if (IsChannelPlaying(channel)) log_.Add(channel, what, names_[static_cast<size_t>(channel)]);
  Stream(channel)->FadeTo(kFadeInterval, kFadeTarget, 1, step);
}

void SoundManager::FadeOutSlow(int channel) {
  Fade(channel, kSlowStep, "fade-slow");
}
void SoundManager::FadeOutFast(int channel) {
  Fade(channel, kFastStep, "fade-fast");
}

int SoundManager::IsChannelPlaying(int channel) const {
  if (!ValidChannel(channel)) return 0;
  return (Stream(channel)->GetStatus() & platform::SoundDevice::kPlaying) ? 1 : 0;
}

void SoundManager::SetChannelVolume(int channel, int32_t volume, bool remember) {
  switch (channel) {
    case kMusic:
      if (remember) music_volume_ = volume;
      music_.SetVolume(volume);
      break;
    case kVoice:
      if (remember) voice_volume_ = volume;
      voice_.SetVolume(volume);
      break;
    case kEffect1:
    case kEffect2:
      if (remember) effect_volume_ = volume;
      effect1_.SetVolume(volume);
      effect2_.SetVolume(volume);
      break;
    default:
      break;
  }
}

int32_t SoundManager::GetChannelVolume(int channel) const {
  switch (channel) {
    case kMusic:
      return music_volume_;
    case kVoice:
      return voice_volume_;
    case kEffect1:
    case kEffect2:
      return effect_volume_;
    default:
      return 0;
  }
}

void SoundManager::ApplySoundSwitch(bool on) {
  SetChannelVolume(kMusic, on ? music_volume_ : kSoundOffVolume);
  SetChannelVolume(kEffect1, on ? effect_volume_ : kSoundOffVolume);
}

int32_t SoundManager::AppliedVolume(int channel) const {
  if (!ValidChannel(channel)) return 0;
  return Stream(channel)->GetVolume();
}

}  // namespace tvx
