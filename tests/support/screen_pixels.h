// A headless 800 x 600 screen for each test, and readers for the pixels
// drawn into its hidden buffer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "media/headless.h"
#include "media/internal.h"
#include "media/media.h"

namespace testsupport {

constexpr int W = 800, H = 600;
// Screen colours are 0x00BBGGRR.
constexpr uint32_t RED = 0x0000FF, GREEN = 0x00FF00, BLUE = 0xFF0000, WHITE = 0xFFFFFF;

class HeadlessScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Use();
    ASSERT_NE(OpenDisplay(W, H, 32, "Test"), 0);
  }

  static uint32_t At(int x, int y) { return Screen().hidden[size_t(y) * W + x]; }
  static void Clear(uint32_t c = 0) { std::fill(Screen().hidden.begin(), Screen().hidden.end(), c); }
  static int CountNot(uint32_t c) {
    int n = 0;
    for (uint32_t p : Screen().hidden) n += p != c;
    return n;
  }
  // The pixels of rectangle x, y, w, h, row by row (clipped by the caller).
  static std::vector<uint32_t> Area(int x, int y, int w, int h) {
    std::vector<uint32_t> out;
    for (int r = y; r < y + h; ++r)
      for (int c = x; c < x + w; ++c) out.push_back(At(c, r));
    return out;
  }
};

}  // namespace testsupport
