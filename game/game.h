// The game program: its one state record, its constants and the steps that
// work on them, one file per concern.
#pragma once

#include <cstdint>
#include <string>

#include "formats/mapfile.h"
#include "game/worldlist.h"
#include "media/media.h"

// The game's whole-number variables, listed once so that the state record
// and its printed form (vantorreplay) cannot drift apart.
#define GAME_INT_FIELDS(X)                                                                         \
  X(soundOff)          /* 1: no sound call is made at all (chosen at start-up) */                \
  X(introShown)        /* the logo intro runs once per program run */                            \
  X(tickInterval)      /* milliseconds between animation ticks */                                \
  X(lastTick)          /* clock reading at the last tick */                                      \
  X(tickDue)           /* 1 in the frame after a tick */                                         \
  X(tileFrame)         /* 0..9: frame of every terrain and object sheet */                       \
  X(craftPhase)        /* 0..4: frame within the craft's group of five */                        \
  X(mapNumber)         /* 1..3: the map of the sequence */                                       \
  X(ownMapMode)        /* 1 while the player's own map is played */                              \
  X(lives)                                                                                        \
  X(levelComplete)     /* set by the collision pass, acted on in the next frame */               \
  X(prisonersLeft)                                                                                \
  X(craftX)            /* the craft's top-left corner on the screen */                           \
  X(craftY)                                                                                       \
  X(scrollX)           /* world pixel at the view's top-left corner */                           \
  X(scrollY)                                                                                      \
  X(craftSpeed)        /* pixels per frame for the arrow keys */                                 \
  X(craftHeading)      /* 0 left, 1 vertical, 2 right, 3 hover right, 4 hover left */            \
  X(craftFrame)        /* frame of the craft sheet that is drawn */                              \
  X(fireLatch)         /* 1 after a shot until the fire key is released */                       \
  X(onPlatform)        /* 1 when the last collision pass found the craft on a pad or platform */ \
  X(craftDestroyed)    /* 1 from the crash until the explosion is over */                        \
  X(explosionTimer)    /* explosion frames shown so far, 0..25 */                                \
  X(startCraftX)       /* craft and view at the level's start point */                           \
  X(startCraftY)                                                                                  \
  X(startScrollX)                                                                                 \
  X(startScrollY)                                                                                 \
  X(checkpointCraftX)  /* craft and view at the last pad or platform touched; all 0: none */     \
  X(checkpointCraftY)                                                                             \
  X(checkpointScrollX)                                                                            \
  X(checkpointScrollY)

struct GameState {
#define GAME_INT_FIELD(name) int32_t name;
  GAME_INT_FIELDS(GAME_INT_FIELD)
#undef GAME_INT_FIELD
  std::string statusMessage;  // the prisoner reminder, shown at the top of the screen

  MapLayer terrainGrid, backdropGrid, objectGrid;
  WorldList terrainList, objectList, backdropList, shotList, rocketList;
};

extern GameState game;

// ---- Constants ----------------------------------------------------------------

constexpr int VIEW_WIDTH = 800;
constexpr int VIEW_HEIGHT = 440;
constexpr int BACKDROP_COLUMNS = 36;
constexpr int BACKDROP_ROWS = 26;
constexpr int MAP_SEQUENCE_LENGTH = 3;
constexpr int LEVEL_PAUSE_MS = 2000;
constexpr int EXPLOSION_FRAMES = 25;
constexpr int SCROLL_X_LIMIT = 1240;
constexpr int SCROLL_Y_LIMIT = 1380;
// A shot or rocket whose row lies below this is below every row the view can
// show, and can no longer hit anything.
constexpr int PROJECTILE_BOTTOM = SCROLL_Y_LIMIT + VIEW_HEIGHT;

// Asset slots: pictures 0..17, sounds 18..22, the blend picture 23.
constexpr int PICTURE_TERRAIN = 0;  // + terrain code 0..6
constexpr int PICTURE_SHOT = 7;
constexpr int PICTURE_CRAFT = 8;
constexpr int PICTURE_BACKDROP = 9;
constexpr int PICTURE_OBJECT_NONE = 10;
constexpr int PICTURE_ENEMY = 11;
constexpr int PICTURE_PRISONER = 12;
constexpr int PICTURE_STATUS_PANEL = 13;
constexpr int PICTURE_TITLE_SCREEN = 14;
constexpr int PICTURE_END = 15;
constexpr int PICTURE_HELP = 16;
constexpr int PICTURE_LOGO = 17;
constexpr int SOUND_INGAME = 18;
constexpr int SOUND_HELP_MUSIC = 19;
constexpr int SOUND_TITLE_MUSIC = 20;
constexpr int SOUND_EXPLOSION = 21;
constexpr int SOUND_FIRE = 22;
constexpr int SPRITE_LOGO = 23;

// Sheet kinds of DrawSheetFrame besides the terrain codes 0..6.
constexpr int SHEET_CRAFT = 10;
constexpr int SHEET_OBJECTS = 12;  // + object code
constexpr int SHEET_PRISONER = 15;

constexpr int KEY_FIRE = KEY_LEFT_CTRL;

// ---- The program --------------------------------------------------------------

// Start-up once, then game after game; ends only through ProgramEnd.
[[noreturn]] void RunGame();
// Starts and checks the media services, asks about sound and opens the
// screen; a failure ends the program.
void StartGame();

// The game's sound calls, skipped altogether while soundOff is 1.
void StartGameSound(int sound, int flags);
void HaltGameSound(int sound);

// Game reset: starting values, new layers and lists, every asset from the pack.
void GameReset();
void CreateWorld();  // the three layers all zero, the five lists empty

// Level loading and the world lists.
void LoadLevel(const char* path);
void ReadLevelFile(const char* path);
void BuildWorld();
void PlaceAtStart();
void AddTerrainItem(int x, int y, int code);
void AddObjectItem(int x, int y, int code);
void AddBackdropItem(int x, int y, int code);
void AddShot(int x, int y, int kind);
void AddRocket(int x, int y, int kind);

// Sheets and world drawing.
void AnimationTick();
void AdvancePhases();
void DrawSheetFrame(int frame, int x, int y, int kind);
void DrawWorld();

// The screens around play.
void TitleMenu();  // returns once a level has been loaded
void PlayIntro();
void EndScreen();

// Play: one pass per frame until the game is over.
void FrameLoop();
bool FramePass();  // false once the game is over and the end screen was left
// The world's part of a pass, on the keys already read: craft, launchers,
// drawing the world and the craft, collisions. Tools play it ahead on copies.
void StepWorld();
void AdvanceMap();
void ConfirmQuit();

// The craft.
void ControlCraft();
void SinkCraft();
void LimitPositions();
void ExplodeAndRespawn();
void DrawCraft();

// Launchers and collisions.
void FireLaunchers();
void ResolveCollisions();

// The panel below the view.
void DrawStatusPanel();
void DrawRadar(int x, int y, int showView);

// The state as "name value" lines (vantorreplay's report, the page's test hook).
std::string GameStateLines();
// Text in double quotes, with " and \ escaped by a backslash.
std::string QuotedText(const std::string& text);
