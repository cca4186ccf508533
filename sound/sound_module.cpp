#include "sound/sound_module.h"

#include "platform/platform.h"

namespace tvx {

int SoundModule::Init(const WaveFormat& primary) {
  if (device_) return kOk;
  if (!platform::Installed()) return kNoDevice;
  device_ = std::make_unique<platform::SoundDevice>();
  if (!platform::OpenSoundOutput(*device_)) {
    Shutdown();
    return kNoDevice;
  }
  connected_ = true;
  const bool mixable =
      primary.tag == kWaveFormatPcm && primary.channels == platform::SoundDevice::kOutputChannels &&
      primary.samplesPerSec == platform::SoundDevice::kRate && primary.bitsPerSample == 16;
  if (!mixable) {
    Shutdown();
    return kFormatRefused;
  }
  if (!pool_.Reserve()) {
    Shutdown();
    return kNoPool;
  }
  return kOk;
}

void SoundModule::Shutdown() {
  pool_.ReleaseAll();
  if (device_ && connected_) platform::CloseSoundOutput(*device_);
  connected_ = false;
  device_.reset();
}

}  // namespace tvx
