// The SDL sound output: an audio device at the mixer's own format (22050 Hz, 16-bit, stereo)
// with a 512-frame buffer, about 23 ms, whose callback asks the sound device for frames.
#include <SDL.h>

#include <cstdio>
#include <span>

#include "platform/sdl/sdl_backend.h"
#include "platform/sound_device.h"

namespace tvx::platform {

namespace {

constexpr Uint16 kDeviceFrames = 512;

void FillAudio(void* user, Uint8* stream, int length) {
  auto* device = static_cast<SoundDevice*>(user);
  // SDL hands out buffers aligned for its sample format.
  auto* samples = reinterpret_cast<int16_t*>(stream);
  device->Render(std::span(samples, static_cast<size_t>(length) / sizeof(int16_t)));
}

SDL_AudioDeviceID OpenDevice(SoundDevice& device, SDL_AudioSpec& have) {
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(SoundDevice::kRate);
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(SoundDevice::kOutputChannels);
  want.samples = kDeviceFrames;
  want.callback = &FillAudio;
  want.userdata = &device;
  // SDL converts to whatever the hardware wants; the callback always sees this format.
  return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

}  // namespace

bool SdlBackend::OpenSoundOutput(SoundDevice& device) {
  if (audio_device_ != 0) return false;
  SDL_AudioSpec have{};
  SDL_AudioDeviceID id = 0;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    id = OpenDevice(device, have);
    if (id == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  if (id == 0) {
    std::fprintf(stderr, "talvex: no audio device (%s); sound is not heard\n", SDL_GetError());
    // The dummy driver plays nothing but keeps time, as the game's waits for sounds expect.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (SDL_AudioInit("dummy") == 0) id = OpenDevice(device, have);
    if (id == 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
  }
  audio_device_ = id;
  audio_frames_ = have.samples;
  audio_rate_ = static_cast<uint32_t>(have.freq);
  SDL_PauseAudioDevice(id, 0);
  return true;
}

void SdlBackend::CloseSoundOutput() {
  if (audio_device_ == 0) return;
  // Returns once the callback has finished: the device is not touched after this.
  SDL_CloseAudioDevice(audio_device_);
  audio_device_ = 0;
  audio_frames_ = 0;
  audio_rate_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace tvx::platform
