// System calls 5 and 6 through the SoundManager. Call 5 plays music on channel 0 and effects
// on channel 2 while bit 0x0200 of the system flags is set; call 6 plays voices on channel 1
// while the VOICE setting is on and bit 0x0100 is set. Every wait pumps messages and ends
// when the game quits; a channel that stops by itself (its end, a fade, a damaged file)
// ends it too.
#include "script/sound_calls.h"

#include <string>

#include "resources/gbk.h"
#include "script/player_input.h"
#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "script/shared_state.h"
#include "script/variable_area.h"
#include "sound/sound_manager.h"

namespace tvx {

namespace {

constexpr std::string_view kNoFile = "********.WAV";
constexpr size_t kMusicSlot = 4;
constexpr size_t kVoiceSlot = 5;
constexpr size_t kFirstEffectSlot = 6;  // SE1 for channel 2

size_t SlotOf(int channel) {
  return channel == SoundManager::kMusic   ? kMusicSlot
         : channel == SoundManager::kVoice ? kVoiceSlot
                                           : kFirstEffectSlot + static_cast<size_t>(channel - 2);
}

// Waits, pumping messages, until the channel is quiet (or the game quits, or `stop_early`).
template <typename Early>
void WaitWhilePlaying(ScriptHost& host, SoundManager& sound, int channel, Early stop_early) {
  WaitUntil(host, [&] { return !sound.IsChannelPlaying(channel) || stop_early(); });
}

// A call that would have started a sound while its switch bit is off: the maker hears why
// nothing plays (the player's own switches are not a mistake and say nothing).
void WarnSwitchOff(ScriptHost& host, int call, std::string_view bit, std::string_view name) {
  std::string text = "call " + std::to_string(call) + " played nothing";
  if (!name.empty()) text += " (\"" + gbk::ToUtf8(name) + "\")";
  text += ": bit " + std::string(bit) +
          " of the system flags (system word 2, R16(28)) is clear; set it first, e.g. "
          "SET_REG16 28, R16(28) | " +
          std::string(bit);
  host.WarnMaker(std::string("sound switch ") + std::string(bit), text);
}

}  // namespace

void MusicAndEffectsCall(ScriptInterpreter& interpreter, const ParamList& p) {
  SoundManager* sound = interpreter.sound();
  ScriptHost& host = interpreter.host();
  if (!sound) return;
  if (!interpreter.variables().HasSystemFlag(kFlagSoundEnabled)) {
    const uint32_t sub = p.Value(0);
    if (sub == 0 || sub == 3 || sub == 6) WarnSwitchOff(host, 5, "0x0200", p.Text(1));
    return;
  }
  const bool on = interpreter.shared().soundOn != 0;
  const uint32_t sub = p.Value(0);
  // Sub-functions beyond the table name no channel; they only reset the music's name.
  const int channel =
      sub <= 2 || sub == 6 || sub == 7 || sub > 9 ? SoundManager::kMusic : SoundManager::kEffect1;
  const std::string name = p.Text(1);
  auto shift_down = [&host] { return host.QueryInput(kShift) != 0; };
  auto never = [] { return false; };
  switch (sub) {
    case 0:
    case 3:
      sound->PlayFile(name, channel);
      host.ShowFileName(SlotOf(channel), name);
      return;
    case 1:
    case 5:
      if (on)
        sound->FadeOutSlow(channel);
      else
        sound->StopChannel(channel);
      break;
    case 2:
    case 4:
      sound->StopChannel(channel);
      break;
    case 6:
      if (on) {
        sound->PlayFile(name, channel);
        host.ShowFileName(SlotOf(channel), name);
        WaitWhilePlaying(host, *sound, channel, never);
      } else {
        sound->StopChannel(channel);
      }
      break;
    case 7:
    case 8:
      if (on) {
        sound->FadeOutFast(channel);
        WaitWhilePlaying(host, *sound, channel, shift_down);
      } else {
        sound->StopChannel(channel);
      }
      break;
    case 9:
      if (on)
        WaitWhilePlaying(host, *sound, channel, never);
      else
        sound->StopChannel(channel);
      break;
    default:
      break;
  }
  host.ShowFileName(SlotOf(channel), kNoFile);
}

void VoiceCall(ScriptInterpreter& interpreter, const ParamList& p) {
  SoundManager* sound = interpreter.sound();
  ScriptHost& host = interpreter.host();
  if (!sound || interpreter.shared().voiceOn == 0) return;
  if (!interpreter.variables().HasSystemFlag(kFlagVoiceEnabled)) {
    const uint32_t sub = p.Value(0);
    if (sub == 0 || sub == 2) WarnSwitchOff(host, 6, "0x0100", p.Text(1));
    return;
  }
  constexpr int kVoice = SoundManager::kVoice;
  const uint32_t sub = p.Value(0);
  const std::string name = p.Text(1);
  // Ctrl skips voices: it silences the one playing instead of starting another.
  if (sub != 2 && host.QueryInput(kControl)) {
    if (sound->IsChannelPlaying(kVoice)) {
      sound->StopChannel(kVoice);
      host.ShowFileName(kVoiceSlot, kNoFile);
    }
    return;
  }
  switch (sub) {
    case 0:
      sound->PlayFile(name, kVoice);
      host.ShowFileName(kVoiceSlot, name);
      break;
    case 1:
      sound->StopChannel(kVoice);
      host.ShowFileName(kVoiceSlot, kNoFile);
      break;
    case 2:
      sound->PlayFile(name, kVoice);
      host.ShowFileName(kVoiceSlot, name);
      WaitWhilePlaying(host, *sound, kVoice, [] { return false; });
      host.ShowFileName(kVoiceSlot, kNoFile);
      break;
    default:
      break;
  }
}

}  // namespace tvx
