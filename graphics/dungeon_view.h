// The first-person maze view.
//
// Stand-in until the dungeon view is built; start-up only creates it.
#pragma once

namespace tvx {

class DungeonView {};

}  // namespace tvx
