// Everything the demo generator makes, by file name: the game's pictures and sounds, which
// go into the game's source folder, and the maze's source pictures, which talvex-tool turns
// into its palette and tile sets.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tvx::demo {

enum class AssetKind { kGamePicture, kMazePicture, kSound };

struct Asset {
  const char* file;  // the name written, extension included
  AssetKind kind;
};

// Every asset, in the order the generator writes them.
std::span<const Asset> Assets();

// The bytes of one asset's file (a PNG or a wave file); empty when the name is not one of
// Assets().
std::vector<uint8_t> MakeAsset(const std::string& file);

}  // namespace tvx::demo
