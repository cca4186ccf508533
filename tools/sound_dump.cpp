#include "tools/sound_dump.h"

#include <fstream>

#include "app/game_system.h"
#include "platform/headless/headless_backend.h"
#include "platform/path_text.h"
#include "platform/platform.h"
#include "resources/gbk.h"

namespace tvx::tool {

bool WriteSoundDump(const std::filesystem::path& dir, GameSystem& system, std::ostream& err) {
  std::ofstream events(dir / "sounds.txt", std::ios::binary);
  if (const SoundManager* sound = system.sound()) {
    for (const SoundEvent& event : sound->log().Events())
      events << event.time << '\t' << event.channel << '\t' << event.what << '\t'
             << gbk::ToUtf8(event.name) << '\n';
  }
  bool ok = static_cast<bool>(events);
  if (platform::Installed()) {
    if (auto* headless = dynamic_cast<platform::HeadlessBackend*>(&platform::CurrentBackend()))
      ok = headless->WriteRecordedSound(platform::PathText(dir / "sound.wav")) && ok;
  }
  if (!ok)
    err << "talvex-tool run: cannot write the sound dump into " << platform::PathText(dir) << "\n";
  return ok;
}

}  // namespace tvx::tool
