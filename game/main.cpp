#include "game/game.h"
#include "media/command_line.h"

int main(int argc, char** argv) { RunGame(TakeMapFileArgument("vantor", ProgramArguments(argc, argv))); }
