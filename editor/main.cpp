#include "editor/editor.h"
#include "media/command_line.h"

int main(int argc, char** argv) { RunEditor(TakeMapFileArgument("vantoredit", ProgramArguments(argc, argv))); }
