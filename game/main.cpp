#include "game/game.h"

int main() { RunGame(); }
