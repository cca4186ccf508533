// The demo's music, each a seamless loop (sounds.h).
#pragma once

#include "demo/generator/sounds.h"

namespace tvx::demo {

Sound TitleMusic();   // M_TITLE: 32 s, bells over a pad
Sound TownMusic();    // M_TOWN: 32 s, a walking tune
Sound CaveMusic();    // M_CAVE: 24 s, a drone, wind and drips
Sound EndingMusic();  // M_END: 40 s, warm and resolving

// The effects (S_WAVES loops; the others play once).
Sound Waves();
Sound Gull();
Sound Steps();
Sound Door();
Sound Chime();
Sound LampWhoosh();
// The engine's interface sounds: a wrong move, the item window opening and closing.
Sound ErrorBonk();
Sound WindowOpen();
Sound WindowClose();

}  // namespace tvx::demo
