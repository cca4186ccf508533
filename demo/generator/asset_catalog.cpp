#include "demo/generator/asset_catalog.h"

#include <array>
#include <string_view>

#include "demo/generator/scenes.h"
#include "demo/generator/sounds.h"
#include "tools/png_io.h"
#include "tools/wav/wav_data.h"

namespace tvx::demo {

namespace {

constexpr auto kAssets = std::to_array<Asset>({
    {"TITLE.png", AssetKind::kGamePicture},   {"HARBOR.png", AssetKind::kGamePicture},
    {"HARBOR2.png", AssetKind::kGamePicture}, {"COAST.png", AssetKind::kGamePicture},
    {"TUNNEL.png", AssetKind::kGamePicture},  {"ROOM.png", AssetKind::kGamePicture},
    {"LAMP.png", AssetKind::kGamePicture},    {"ENDING.png", AssetKind::kGamePicture},
    {"FOG.png", AssetKind::kGamePicture},     {"PANEL.png", AssetKind::kGamePicture},
    {"FACES.png", AssetKind::kGamePicture},   {"ANIMS.png", AssetKind::kGamePicture},
    {"ITEMS.png", AssetKind::kGamePicture},   {"WALL1.png", AssetKind::kMazePicture},
    {"WALL2.png", AssetKind::kMazePicture},   {"WALL3.png", AssetKind::kMazePicture},
    {"MAZEPAL.png", AssetKind::kMazePicture}, {"M_TITLE.wav", AssetKind::kSound},
    {"M_TOWN.wav", AssetKind::kSound},        {"M_CAVE.wav", AssetKind::kSound},
    {"M_END.wav", AssetKind::kSound},         {"S_WAVES.wav", AssetKind::kSound},
    {"S_GULL.wav", AssetKind::kSound},        {"S_STEP.wav", AssetKind::kSound},
    {"S_DOOR.wav", AssetKind::kSound},        {"S_CHIME.wav", AssetKind::kSound},
    {"S_LAMP.wav", AssetKind::kSound},        {"ERROR.wav", AssetKind::kSound},
    {"WINOPN.wav", AssetKind::kSound},        {"WINCLS.wav", AssetKind::kSound},
    {"LAMP2.png", AssetKind::kGamePicture},   {"A30_01.png", AssetKind::kGamePicture},
    {"A30_02.png", AssetKind::kGamePicture},  {"A30_03.png", AssetKind::kGamePicture},
    {"A30_04.png", AssetKind::kGamePicture},  {"A30_05.png", AssetKind::kGamePicture},
    {"A30_06.png", AssetKind::kGamePicture},  {"A30_07.png", AssetKind::kGamePicture},
    {"A30_08.png", AssetKind::kGamePicture},  {"A30_09.png", AssetKind::kGamePicture},
    {"A30_10.png", AssetKind::kGamePicture},  {"A30_11.png", AssetKind::kGamePicture},
    {"A30_12.png", AssetKind::kGamePicture},  {"A30_13.png", AssetKind::kGamePicture},
});

Canvas Paint(std::string_view file) {
  if (file == "TITLE.png") return PaintTitle();
  if (file == "HARBOR.png") return PaintHarbor(false);
  if (file == "HARBOR2.png") return PaintHarbor(true);
  if (file == "COAST.png") return PaintCoast();
  if (file == "TUNNEL.png") return PaintTunnel();
  if (file == "ROOM.png") return PaintRoom();
  if (file == "LAMP.png") return PaintLamp();
  if (file == "LAMP2.png") return PaintLamp2();
  // A30_01 … A30_13: the dawn, step 0 … 12.
  if (file.starts_with("A30_")) return PaintDawn((file[4] - '0') * 10 + (file[5] - '0') - 1);
  if (file == "ENDING.png") return PaintEnding();
  if (file == "FOG.png") return PaintFogLayer();
  if (file == "PANEL.png") return PaintPanel();
  if (file == "FACES.png") return PaintFaces();
  if (file == "ANIMS.png") return PaintAnimationSheet();
  if (file == "ITEMS.png") return PaintItems();
  if (file == "WALL1.png") return PaintMazeWall(0);
  if (file == "WALL2.png") return PaintMazeWall(1);
  if (file == "WALL3.png") return PaintMazeWall(2);
  return PaintMazePaletteSource();
}

}  // namespace

std::span<const Asset> Assets() {
  return kAssets;
}

std::vector<uint8_t> MakeAsset(const std::string& file) {
  for (const Asset& asset : kAssets) {
    if (file != asset.file) continue;
    if (asset.kind == AssetKind::kSound) {
      Sound sound = MakeSound(file);
      return tool::WritePcm16(sound.samples, kSampleRate, sound.loop);
    }
    std::string error;
    auto png = tool::EncodePng(Paint(file).ToPicture(), error);
    return png ? *png : std::vector<uint8_t>{};
  }
  return {};
}

}  // namespace tvx::demo
