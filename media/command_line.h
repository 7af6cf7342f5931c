// The command line that the two programs share, `PROGRAM [--version] [FILE]`,
// the version every program and tool prints, and file names as UTF-8.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The arguments after the program's name, in UTF-8. Defined by the backend:
// on Windows the wide command line, so that names with umlauts arrive whole.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// "NAME VERSION" and the licence line on standard output.
void PrintVersion(const char* program);

// What a program's arguments ask for. A file name is made absolute here,
// against the folder the user started the program in, before anything
// changes to the player's folder.
struct CommandLine {
  enum Action { RUN, SHOW_VERSION, SHOW_USAGE } action = RUN;
  std::string mapFile;  // UTF-8; empty: the player's own map
};
CommandLine ReadCommandLine(const std::vector<std::string>& args);

// Acts on --version (exit status 0) and on a wrong command line (one usage
// line on standard error, exit status 2); otherwise returns the map file.
std::string TakeMapFileArgument(const char* program, const std::vector<std::string>& args);

// A UTF-8 file name as a path and back; "\" and "/" both separate folders.
std::filesystem::path PathFromUtf8(const std::string& name);
std::string Utf8FromPath(const std::filesystem::path& path);
