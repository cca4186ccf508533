// The sound module's shared state: the device that mixes every stream and the SoundPool
// from which streams take their memory. One per SoundManager; streams keep a reference.
#pragma once

#include <memory>

#include "platform/sound_device.h"
#include "sound/sound_pool.h"
#include "sound/wave_format.h"

namespace tvx {

class SoundModule {
 public:
  // Init results.
  static constexpr int kOk = 0;
  static constexpr int kNoDevice = -1;
  static constexpr int kFormatRefused = -4;
  static constexpr int kNoPool = -5;

  SoundModule() = default;
  SoundModule(const SoundModule&) = delete;
  SoundModule& operator=(const SoundModule&) = delete;
  ~SoundModule() { Shutdown(); }

  // Creates the device, connects it to the platform's sound output in the primary format
  // (which must be the device's own) and reserves the pool. Any failure shuts down again.
  int Init(const WaveFormat& primary);
  // Disconnects and destroys the device and gives the pool back. Safe when parts are missing.
  void Shutdown();

  platform::SoundDevice* device() { return device_.get(); }
  SoundPool& pool() { return pool_; }

 private:
  std::unique_ptr<platform::SoundDevice> device_;
  bool connected_ = false;
  SoundPool pool_;
};

}  // namespace tvx
