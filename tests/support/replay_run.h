// Running vantorreplay on a script in a folder and reading its report: one
// "name value" line per field, then frames, ended and messagebox lines.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace testsupport {

struct ReplayRun {
  int exitCode = -1;                          // -1: did not exit normally
  std::map<std::string, std::string> values;  // name -> value; a repeated name keeps its last value
  std::string out, err;                       // the whole report and what went to stderr

  // The value as a number; fails the test when the report has no such line.
  int Int(const std::string& name) const {
    auto it = values.find(name);
    EXPECT_NE(it, values.end()) << "no " << name << " in the report:\n" << out;
    return it == values.end() ? 0 : std::stoi(it->second);
  }
  // Every value of a name that may repeat, such as "messagebox", in order.
  std::vector<std::string> All(const std::string& name) const {
    std::vector<std::string> found;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line))
      if (line.compare(0, name.size() + 1, name + " ") == 0) found.push_back(line.substr(name.size() + 1));
    return found;
  }
};

// Runs `vantorreplay --dir DIR ARGS` in FROM (DIR unless given) and reads its report.
inline ReplayRun RunReplayArgs(const std::string& dir, const std::string& args, std::string from = "") {
  ToolRun tool = RunTool("vantorreplay", "--dir " + Quote(dir) + " " + args, from.empty() ? dir : from);
  ReplayRun run;
  run.exitCode = tool.exitCode;
  run.out = tool.out;
  run.err = tool.err;
  std::istringstream lines(run.out);
  std::string line;
  while (std::getline(lines, line)) {
    size_t blank = line.find(' ');
    if (blank != std::string::npos) run.values[line.substr(0, blank)] = line.substr(blank + 1);
  }
  return run;
}

// Writes `script` to DIR/replay-script.txt and runs
// `vantorreplay --dir DIR ARGS replay-script.txt` in DIR. `args` are shell
// words such as "--editor" or "--no-sound --shot end.bmp".
inline ReplayRun RunReplay(const std::string& dir, const std::string& args, const std::string& script) {
  const std::string scriptName = "replay-script.txt";
  if (!WriteFileBytes(dir + "/" + scriptName, Bytes(script.begin(), script.end()))) {
    ADD_FAILURE() << "cannot write the script into " << dir;
    return ReplayRun{};
  }
  return RunReplayArgs(dir, args + " " + scriptName);
}

}  // namespace testsupport
