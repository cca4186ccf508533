// The four sound channels and their volumes: 0 music, 1 voice (IMA ADPCM), 2 and 3 effects.
// The manager sets up the device, owns the streams, plays named files through the
// ArchiveSet, fades and stops channels, and remembers one volume each for music, effects
// and voice (given at Init from section "VOLUME" of the settings; the volume dialog saves
// them). Channel numbers other than 0-3 do nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/settings_file.h"
#include "sound/acm_wave_stream.h"
#include "sound/sound_log.h"
#include "sound/sound_module.h"
#include "sound/wave_stream.h"

namespace tvx {

class ArchiveSet;

// The remembered volumes in hundredths of a decibel (0 full, -10000 silent).
struct SoundVolumes {
  int32_t music = -500;
  int32_t effect = -500;
  int32_t voice = 0;
  // Section "VOLUME", keys "Music", "Effect" and "Voice".
  static SoundVolumes Read(const SettingsFile& settings);
};

class SoundManager {
 public:
  static constexpr int kChannels = 4;
  static constexpr int kMusic = 0;
  static constexpr int kVoice = 1;
  static constexpr int kEffect1 = 2;
  static constexpr int kEffect2 = 3;
  static constexpr uint32_t kStagingSize = 0x80000;
  static constexpr int32_t kSoundOffVolume = -6000;

  // `archives` is where PlayFile finds its files; null plays nothing.
  explicit SoundManager(ArchiveSet* archives = nullptr);
  SoundManager(const SoundManager&) = delete;
  SoundManager& operator=(const SoundManager&) = delete;
  // Stops and releases every stream, then shuts the device down.
  ~SoundManager();

  // Sets up the device (showing "系统错误" / "DirectSound不能使用。" when it cannot), creates
  // the streams and applies the volumes given as the remembered ones. 0 on failure.
  int Init(const SoundVolumes& volumes);

  // Stops the channel, opens the named file for it and plays it; 0 when nothing plays.
  int PlayFile(std::string_view name, int channel);
  int StopChannel(int channel);
  // Fades to -50 dB and stops: 1.5 dB (slow) or 10 dB (fast) every 100 ms. Not the voice.
  void FadeOutSlow(int channel);
  void FadeOutFast(int channel);
  int IsChannelPlaying(int channel) const;
  // Sets the channel's volume now (channels 2 and 3 together); with `remember` it also
  // becomes the remembered volume, unclamped.
  void SetChannelVolume(int channel, int32_t volume, bool remember = false);
  // The remembered volume.
  int32_t GetChannelVolume(int channel) const;
  // Sound on restores the remembered music and effect volumes, off mutes them (-6000);
  // what is remembered does not change.
  void ApplySoundSwitch(bool on);

  // The volume the channel's stream is set to (tests and the debug views).
  int32_t AppliedVolume(int channel) const;
  WaveStream* Stream(int channel);
  const WaveStream* Stream(int channel) const;
  const SoundLog& log() const { return log_; }
  SoundLog& log() { return log_; }
  SoundModule& module() { return module_; }

 private:
  void Fade(int channel, int32_t step, std::string_view what);
  void Watch(int channel);

  SoundModule module_;
  WaveStream music_;
  WaveStream effect1_;
  WaveStream effect2_;
  AcmWaveStream voice_;
  int32_t effect_volume_ = -500;
  int32_t music_volume_ = -500;
  int32_t voice_volume_ = 0;
  ArchiveSet* archives_;
  SoundLog log_;
  std::array<std::string, kChannels> names_;  // the file each channel plays or played last
};

}  // namespace tvx
