// Measures whole frames of play: every step of the frame loop (one FramePass,
// unpaced, on the headless backend) on the built map 1 and on the densest
// map the format allows, and compares them with SDL drawing the same visible
// world with its colour-keyed RLE blit. Prints "name: value" lines.
//
// Run from anywhere; it reads vantor.pak and maps/map 1.map from the built
// player's folder and writes nothing there.
//
// Built for WebAssembly (node) or Windows there is no SDL: it measures the
// frames alone.
#if !defined(__EMSCRIPTEN__) && !defined(_WIN32)
#define BENCH_SDL_BLIT 1
#include <SDL.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "formats/assetpack.h"
#include "game/game.h"
#include "media/headless.h"
#include "media/media.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// ---- The same pictures as SDL surfaces --------------------------------------
#if BENCH_SDL_BLIT

struct SdlPictures {
  SDL_Surface* slot[18] = {};
  SDL_Surface* screen = nullptr;
};

// The pack's first 18 entries as screen-format surfaces, with the game's
// transparent colour and RLE where the game keys them.
SdlPictures LoadSdlPictures() {
  SdlPictures p;
  p.screen = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_XBGR8888);
  OpenAssetPack("vantor.pak");
  uint32_t size = 0;
  for (int n = 0; n < 18; n++) {
    const uint8_t* entry = NextPackEntry(&size);
    if (!entry) break;
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromConstMem(entry, int(size)), 1);
    if (!loaded) continue;
    p.slot[n] = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XBGR8888, 0);
    SDL_FreeSurface(loaded);
  }
  CloseAssetPack();
  for (int n : {0, 1, 2, 3, 4, 5, 6, 8, 10, 11, 12, 15}) {
    if (!p.slot[n]) continue;
    SDL_SetColorKey(p.slot[n], SDL_TRUE, SDL_MapRGB(p.slot[n]->format, 255, 0, 255));
    SDL_SetSurfaceRLE(p.slot[n], 1);
  }
  return p;
}

void Blit(SdlPictures& p, int n, int sx, int sy, int w, int h, int x, int y) {
  if (!p.slot[n] || x >= 800 || y >= 600 || x + w <= 0 || y + h <= 0) return;
  SDL_Rect from{sx, sy, w, h}, to{x, y, w, h};
  SDL_BlitSurface(p.slot[n], &from, p.screen, &to);
}

// The visible world of the game's current state, drawn by SDL.
void DrawWithSdl(SdlPictures& p) {
  SDL_FillRect(p.screen, nullptr, 0);
  for (int i = 0; i < game.backdropList.Size(); i++) {
    const WorldItem& b = game.backdropList[i];
    Blit(p, PICTURE_BACKDROP, 0, 0, 40, 40, b.x - game.scrollX / 2, b.y - game.scrollY / 2);
  }
  const int frame = game.tileFrame;
  for (int i = 0; i < game.terrainList.Size(); i++) {
    const WorldItem& t = game.terrainList[i];
    if (t.code >= 0 && t.code <= 6) Blit(p, t.code, frame * 80, 0, 80, 80, t.x - game.scrollX, t.y - game.scrollY);
  }
  for (int i = 0; i < game.objectList.Size(); i++) {
    const WorldItem& o = game.objectList[i];
    int n = o.code == 1 ? PICTURE_ENEMY : o.code == 3 ? PICTURE_PRISONER : o.code == 0 ? PICTURE_OBJECT_NONE : -1;
    if (n >= 0) Blit(p, n, frame * 40, 0, 40, 40, o.x - game.scrollX, o.y - game.scrollY);
  }
  for (const WorldList* list : {&game.shotList, &game.rocketList})
    for (int i = 0; i < list->Size(); i++) Blit(p, PICTURE_SHOT, 0, 0, 8, 8, (*list)[i].x, (*list)[i].y - game.scrollY);
  Blit(p, PICTURE_CRAFT, game.craftFrame % 5 * 80, game.craftFrame / 5 * 40, 80, 40, game.craftX, game.craftY);
  Blit(p, PICTURE_STATUS_PANEL, 0, 0, 800, 160, 0, 440);
  Blit(p, PICTURE_PRISONER, 120, 0, 40, 40, 330, 550);
  Blit(p, PICTURE_CRAFT, 0, 160, 80, 40, 380, 550);
}

SdlPictures sdl;
#endif

// ---- Frames of play ---------------------------------------------------------

// The game keeps playing however often the craft is destroyed.
void KeepPlaying() {
  game.lives = 3;
  game.levelComplete = 0;
}

struct Timing {
  std::vector<double> ours, sdl;
};

// One measured frame: our whole frame, then SDL drawing what it showed.
void MeasureFrame(Timing& timing) {
  KeepPlaying();
  auto t0 = Clock::now();
  FramePass();
  timing.ours.push_back(Ms(t0));
#if BENCH_SDL_BLIT
  t0 = Clock::now();
  DrawWithSdl(sdl);
  timing.sdl.push_back(Ms(t0));
#endif
}

// Map 1 flown as a player would: hovering, drifting and firing.
Timing PlayMap1(int frames) {
  Timing timing;
  LoadLevel("maps/map 1.map");
  for (int f = 0; f < frames; f++) {
    headless::ReleaseAllKeys();
    headless::HoldKey(f % 3 ? KEY_UP : 0, true);
    headless::HoldKey(f / 60 % 2 ? KEY_RIGHT : KEY_LEFT, f % 120 < 40);
    headless::HoldKey(KEY_FIRE, f % 10 < 5);
    MeasureFrame(timing);
  }
  return timing;
}

// Every cell a wall, block or launcher, every object an enemy or prisoner.
void BuildDenseWorld() {
  const int terrain[] = {TERRAIN_WALL, TERRAIN_BLOCK, TERRAIN_LAUNCHER_LEFT, TERRAIN_WALL, TERRAIN_LAUNCHER_RIGHT};
  for (int x = 0; x < MAP_FILE_COLUMNS; x++)
    for (int y = 0; y < MAP_FILE_ROWS; y++) {
      game.terrainGrid.at(x, y) = int16_t(terrain[(x + 2 * y) % 5]);
      game.objectGrid.at(x, y) = (x + y) % 2 ? OBJECT_ENEMY : OBJECT_PRISONER;
    }
  game.objectGrid.at(25, 20) = OBJECT_START;
  BuildWorld();
  PlaceAtStart();
}

// Shots and rockets in flight across the view, wherever the walls left room.
void AddProjectiles() {
  for (int i = game.shotList.Size(); i < 16; i++) AddShot(40 + 47 * i, game.scrollY + 20 * i, i % 5);
  for (int i = game.rocketList.Size(); i < 24; i++) AddRocket(30 + 31 * i, game.scrollY + 400 - 15 * i, 1 + 2 * (i % 2));
}

Timing PlayDense(int frames) {
  Timing timing;
  for (int f = 0; f < frames; f++) {
    // The world is rebuilt now and then so that it stays dense: shots,
    // enemies and the craft clear cells as it is played.
    if (f % 20 == 0) BuildDenseWorld();
    AddProjectiles();
    headless::ReleaseAllKeys();
    headless::HoldKey(KEY_FIRE, f % 2);
    MeasureFrame(timing);
  }
  return timing;
}

}  // namespace

int main() {
  if (chdir(VANTOR_RUN_DIR) != 0 || !std::filesystem::exists("vantor.pak") ||
      !std::filesystem::exists("maps/map 1.map")) {
    std::printf("error: build the player's folder first (%s with vantor.pak and maps/map 1.map)\n", VANTOR_RUN_DIR);
    return 1;
  }
  headless::Use();
  headless::QueueAnswer(7);  // no sound
  game = GameState{};
  StartGame();
  GameReset();
  game.craftSpeed = 4;
#if BENCH_SDL_BLIT
  sdl = LoadSdlPictures();
#endif

  PlayMap1(200);  // warm up caches and the text cache
  Timing map1 = PlayMap1(1200);
  Timing dense = PlayDense(1200);

  const double map1Ms = Median(map1.ours), denseMs = Median(dense.ours);
  std::printf("frame_ms_map1: %.3f\n", map1Ms);
  std::printf("frame_ms_dense: %.3f\n", denseMs);
#if BENCH_SDL_BLIT
  std::printf("sdl_blit_ms_map1: %.3f\n", Median(map1.sdl));
  std::printf("sdl_blit_ms_dense: %.3f\n", Median(dense.sdl));
  std::printf("frame_vs_sdl_blit: %.2f\n", Median(dense.sdl) / denseMs);
  std::printf("frame_vs_sdl_blit_map1: %.2f\n", Median(map1.sdl) / map1Ms);
#endif
  std::printf("frame_ms_dense_worst: %.3f\n", *std::max_element(dense.ours.begin(), dense.ours.end()));
  return 0;
}
