// The command line of every program and tool: --version, and what the two
// programs say to arguments they do not take.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/test_support.h"

namespace {

using testsupport::RunTool;
using testsupport::ToolRun;

class CommandLine : public testsupport::TempDirTest {};

// The programs lie in the player's folder, the tools beside it.
const char* const PROGRAMS[] = {"../run/vantor", "../run/vantoredit"};

TEST_F(CommandLine, EveryProgramAndToolPrintsItsNameVersionAndLicence) {
  for (const char* program : {"../run/vantor", "../run/vantoredit", "vantorreplay", "vantormap", "vantorpak"}) {
    const ToolRun run = RunTool(program, "--version", dir);
    const std::string name = std::string(program).substr(std::string(program).rfind('/') + 1);
    EXPECT_EQ(run.exitCode, 0) << name;
    const std::regex expected(name + " [0-9]+\\.[0-9]+\\.[0-9]+\n"
                              "Licence: zlib \\(Copyright \\(c\\) 2026 The vantor developers\\)\n");
    EXPECT_TRUE(std::regex_match(run.out, expected)) << run.out;
  }
}

// Before anything is started: no window, no box.
TEST_F(CommandLine, TwoFilesOrAnUnknownOptionGiveOneUsageLineAndStatus2) {
  for (const char* program : PROGRAMS) {
    const std::string name = std::string(program).substr(std::string(program).rfind('/') + 1);
    for (const char* args : {"a.map b.map", "--fullscreen", "-- a.map b.map"}) {
      const ToolRun run = RunTool(program, args, dir);
      EXPECT_EQ(run.exitCode, 2) << name << " " << args;
      EXPECT_EQ(run.err, "usage: " + name + " [--version] [FILE]\n");
      EXPECT_EQ(run.out, "");
    }
  }
}

}  // namespace
