// The game reset: the starting values of a new game, fresh layers and world
// lists, and every picture and sound from the pack into its slot.
#include "formats/assetpack.h"
#include "game/game.h"
#include "media/media.h"

namespace {

constexpr int PACK_PICTURES = 17;  // entries 1..17: pictures 0..16
constexpr int PACK_SOUNDS = 5;     // entries 19..23: sounds 18..22

// The pack is not checked: a missing or short pack leaves slots empty, and an
// empty slot draws, collides and plays nothing.
void LoadAssets() {
  OpenAssetPack("vantor.pak");
  uint32_t size = 0;
  for (int n = 0; n < PACK_PICTURES; n++) {
    if (const uint8_t* entry = NextPackEntry(&size)) MakePicture(n, entry, size);
  }
  if (const uint8_t* entry = NextPackEntry(&size)) MakePictureAs(PICTURE_LOGO, entry, size, PICTURE_MODE_BLEND_SOURCE);
  for (int n = 0; n < PACK_SOUNDS; n++) {
    if (const uint8_t* entry = NextPackEntry(&size)) MakeSound(SOUND_INGAME + n, entry, size);
  }
  CloseAssetPack();
  MakeBlendPicture(SPRITE_LOGO, PICTURE_LOGO);
  const uint32_t transparentColour = PackColor(255, 0, 255);
  for (int n : {0, 1, 2, 3, 4, 5, 6, 8, 10, 11, 12, 15}) SetPictureKey(n, transparentColour);
}

}  // namespace

void CreateWorld() {
  game.terrainGrid = MapLayer{};
  game.backdropGrid = MapLayer{};
  game.objectGrid = MapLayer{};
  game.terrainList.Clear();
  game.objectList.Clear();
  game.backdropList.Clear();
  game.shotList.Clear();
  game.rocketList.Clear();
}

void GameReset() {
  game.tickInterval = int32_t(1000.0 / 10 + 0.5);
  game.craftHeading = 1;
  game.mapNumber = 1;
  game.lives = 3;
  CreateWorld();
  LoadAssets();
}
