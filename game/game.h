// The game program: its one state record and its entry points.
#pragma once

#include <cstdint>

// Every variable of the game, all zero at program start.
struct GameState {
  int32_t soundOff;  // 1: the game makes no sound calls at all (chosen at start-up)
};

extern GameState game;

// The program: start-up, then the game reset; ends only through ProgramEnd.
[[noreturn]] void RunGame();

// Starts and checks the media services, asks about sound and opens the
// screen; a failure ends the program.
void StartGame();

// Sets the game up afresh and plays it; does not return.
[[noreturn]] void GameReset();
