// A map file named on a program's command line, checked before the program
// opens its window.
#pragma once

#include <string>

enum class MapFileCheck { MISSING, MAP, NOT_A_MAP, UNREADABLE };

// A map is a file of exactly 4182 bytes that can be opened for reading and
// writing; a folder or a file of any other size is not one.
MapFileCheck CheckMapFile(const std::string& name);

// Refuses a file that is not a map, one that cannot be read, and a missing
// one unless `missingIsNew`: a "Fehler" box naming the file, then the
// program ends. Nothing is ever written to a refused file.
void AcceptMapFileArgument(const std::string& name, bool missingIsNew);
