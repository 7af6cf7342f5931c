// Running a program's entry (the game's or the editor's) on the headless
// backend until it ends, and the checks its start-up tests share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "media/headless.h"
#include "media/media.h"

namespace testsupport {

using Log = std::vector<std::string>;

// Makes one start-up step fail; call after headless::Use().
inline void InjectFailure(bool headless::Failures::*failure) {
  headless::Failures failures;
  failures.*failure = true;
  headless::SetFailures(failures);
}

// Runs the entry until ProgramEnd; returns its exit code (-1 if it returned).
inline int RunToEnd(void (*program)()) {
  try {
    program();
  } catch (const headless::ProgramEnded& end) {
    return end.exitCode;
  }
  return -1;
}

// Holds `key` once `frame` frames have been shown.
inline void HoldKeyFromFrame(int key, int frame) {
  headless::OnFrame([key, frame](int f) {
    if (f == frame) headless::HoldKey(key, true);
  });
}


inline bool Logged(const std::string& what) {
  const Log& log = headless::PlatformLog();
  return std::find(log.begin(), log.end(), what) != log.end();
}

// The last message box is the error box with `text`.
inline void ExpectLastError(const char* text) {
  const auto& boxes = headless::MessageBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().title, "Fehler");
  EXPECT_EQ(boxes.back().text, text);
  EXPECT_EQ(boxes.back().flags, 0);
}

// Runs `program` with one start-up step failing: it ends with exit code 0
// after one error box with `message`, having opened and closed what `log` lists.
inline void ExpectFailedStart(void (*program)(), bool headless::Failures::*failure, const char* message,
                              const Log& log) {
  headless::Use();
  InjectFailure(failure);
  EXPECT_EQ(RunToEnd(program), 0);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  ExpectLastError(message);
  EXPECT_EQ(headless::PlatformLog(), log);
}

// The program showed `frames` frames of a black 800 x 600 screen.
inline void ExpectBlackFrames(int frames) {
  EXPECT_EQ(headless::FramesPresented(), frames);
  EXPECT_EQ(headless::FrameWidth(), 800);
  EXPECT_EQ(headless::FrameHeight(), 600);
  const auto& frame = headless::LastFrame();
  EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](uint32_t p) { return p == 0; }));
}

}  // namespace testsupport
