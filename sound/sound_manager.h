// The four sound channels and their volumes.
//
// Stand-in until sound is built: initialising succeeds and volumes are only remembered.
#pragma once

#include <array>
#include <cstdint>

namespace tvx {

class SoundManager {
 public:
  int Init() { return 1; }
  // Sets a channel's volume (hundredths of a decibel) without changing what the user chose.
  void SetChannelVolume(int channel, int32_t volume) {
    if (channel >= 0 && channel < 4) volumes_[static_cast<size_t>(channel)] = volume;
  }
  void StopChannel(int channel) { (void)channel; }
  int32_t GetChannelVolume(int channel) const {
    return channel >= 0 && channel < 4 ? volumes_[static_cast<size_t>(channel)] : 0;
  }

 private:
  std::array<int32_t, 4> volumes_{-500, 0, -500, -500};
};

}  // namespace tvx
