// The programs' command line and the version line.
#include "media/command_line.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace {

// Anything else that starts with "-" is an option the programs do not know;
// after "--" a name may start with "-".
bool IsOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

std::string AbsoluteName(const std::string& name) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(PathFromUtf8(name), error);
  return error ? name : Utf8FromPath(absolute.lexically_normal());
}

}  // namespace

void PrintVersion(const char* program) {
  std::printf("%s %s\nLicence: zlib (Copyright (c) 2026 The vantor developers)\n", program, VANTOR_VERSION);
}

CommandLine ReadCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  std::vector<std::string> names;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg == "--version") {
      line.action = CommandLine::SHOW_VERSION;
    } else if (!optionsEnded && IsOption(arg)) {
      line.action = CommandLine::SHOW_USAGE;
      return line;
    } else {
      names.push_back(arg);
    }
  }
  if (names.size() > 1 || (names.size() == 1 && names[0].empty())) {
    line.action = CommandLine::SHOW_USAGE;
  } else if (names.size() == 1) {
    line.mapFile = AbsoluteName(names[0]);
  }
  return line;
}

std::string TakeMapFileArgument(const char* program, const std::vector<std::string>& args) {
  const CommandLine line = ReadCommandLine(args);
  if (line.action == CommandLine::SHOW_VERSION) {
    PrintVersion(program);
    std::fflush(stdout);
    std::exit(0);
  }
  if (line.action == CommandLine::SHOW_USAGE) {
    std::fprintf(stderr, "usage: %s [--version] [FILE]\n", program);
    std::exit(2);
  }
  return line.mapFile;
}

std::filesystem::path PathFromUtf8(const std::string& name) {
  std::u8string text(name.begin(), name.end());
  std::replace(text.begin(), text.end(), u8'\\', u8'/');
  return std::filesystem::path(text);
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}
