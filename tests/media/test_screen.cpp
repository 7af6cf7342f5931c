// The screen: opening, the flip with its buffer swap, losing and regaining
// the display, and the headless backend's frame clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/headless.h"
#include "media/internal.h"
#include "media/media.h"
#include "support/screen_pixels.h"

namespace {

using testsupport::BLUE;
using testsupport::RED;

bool AllPixels(const std::vector<uint32_t>& pixels, uint32_t color) {
  return !pixels.empty() && std::all_of(pixels.begin(), pixels.end(), [&](uint32_t p) { return p == color; });
}

bool HiddenIs(uint32_t color) {
  const ScreenState& s = Screen();
  return AllPixels(s.hidden, color);
}

// A 2 x 1 24-bit BMP: a red and a blue pixel.
std::vector<uint8_t> RedBlueBmp() {
  std::vector<uint8_t> b(14 + 40 + 8, 0);
  b[0] = 'B';
  b[1] = 'M';
  b[2] = uint8_t(b.size());
  b[10] = 54;
  b[14] = 40;
  b[18] = 2;   // width
  b[22] = 1;   // height
  b[26] = 1;   // planes
  b[28] = 24;  // bits per pixel
  const uint8_t pixels[] = {0, 0, 255, 255, 0, 0};  // blue, green, red per pixel
  std::copy(pixels, pixels + 6, b.begin() + 54);
  return b;
}

using ScreenTest = testsupport::HeadlessScreen;

TEST_F(ScreenTest, OpensBlackAndActive) {
  const ScreenState& s = Screen();
  EXPECT_TRUE(s.screenActive);
  EXPECT_EQ(s.screenWidth, 800);
  EXPECT_EQ(s.screenHeight, 600);
  EXPECT_EQ(s.screenDepth, 32);
  EXPECT_TRUE(AllPixels(s.visible, 0));
  EXPECT_TRUE(HiddenIs(0));
  EXPECT_EQ(TargetPixels(), s.hidden.data());
}

TEST_F(ScreenTest, FlipPresentsTheHiddenBufferAndSwaps) {
  FillScreen(RED);
  FlipScreen();
  EXPECT_EQ(headless::FramesPresented(), 1);
  EXPECT_EQ(headless::FrameWidth(), 800);
  EXPECT_EQ(headless::FrameHeight(), 600);
  EXPECT_TRUE(AllPixels(headless::LastFrame(), RED));
  EXPECT_TRUE(HiddenIs(0));  // the frame shown before
  FillScreen(BLUE);
  FlipScreen();
  EXPECT_TRUE(AllPixels(headless::LastFrame(), BLUE));
  EXPECT_TRUE(HiddenIs(RED));
  EXPECT_TRUE(AllPixels(Screen().visible, BLUE));
}

TEST_F(ScreenTest, InactiveScreenDrawsAndPresentsNothingUntilInFrontAgain) {
  FillScreen(RED);
  FlipScreen();
  headless::SetFocus(false);
  FlipScreen();  // notices the loss
  EXPECT_FALSE(Screen().screenActive);
  EXPECT_TRUE(Screen().displayLost);
  FillScreen(BLUE);
  EXPECT_TRUE(HiddenIs(0));
  FlipScreen();
  EXPECT_EQ(headless::FramesPresented(), 1);
  headless::SetFocus(true);
  FillScreen(BLUE);  // the flip has not seen the focus yet
  EXPECT_TRUE(HiddenIs(0));
  FlipScreen();
  EXPECT_TRUE(Screen().screenActive);
  EXPECT_FALSE(Screen().displayLost);
  EXPECT_EQ(headless::FramesPresented(), 2);
  FillScreen(BLUE);
  EXPECT_TRUE(HiddenIs(BLUE));
}

TEST_F(ScreenTest, InactiveFramesStillTakeTheirTime) {
  headless::SetFocus(false);
  for (int i = 0; i < 10; i++) FlipScreen();
  EXPECT_EQ(headless::FramesPresented(), 0);
  EXPECT_GE(MillisecondClock(), 150u);
}

TEST_F(ScreenTest, PicturesKeepTheirPixelsAcrossALostDisplay) {
  std::vector<uint8_t> bmp = RedBlueBmp();
  ASSERT_TRUE(MakePicture(3, bmp.data(), bmp.size()));
  headless::SetFocus(false);
  FlipScreen();
  headless::SetFocus(true);
  FlipScreen();
  ASSERT_TRUE(Screen().screenActive);
  DrawPicture(3, 10, 20);
  FlipScreen();
  const std::vector<uint32_t>& frame = headless::LastFrame();
  EXPECT_EQ(frame[20 * 800 + 10], RED);
  EXPECT_EQ(frame[20 * 800 + 11], BLUE);
}

TEST_F(ScreenTest, ReopeningClosesTheOpenScreenFirst) {
  ASSERT_TRUE(OpenDisplay(640, 480, 32, "Again"));
  std::vector<std::string> expected = {"window", "close window", "window"};
  EXPECT_EQ(headless::PlatformLog(), expected);
  EXPECT_EQ(Screen().screenWidth, 640);
  CloseDisplay();
  CloseDisplay();
  EXPECT_FALSE(Screen().open);
  EXPECT_EQ(TargetPixels(), nullptr);
  EXPECT_EQ(headless::PlatformLog().back(), "close window");
  EXPECT_EQ(headless::PlatformLog().size(), 4u);
}

TEST(PictureFit, WholeNumberScaleWhereTwiceFitsElseTheLargestCentredNeverCropped) {
  struct Case {
    int outW, outH;
    PictureRect expected;
  };
  const Case cases[] = {
      {800, 600, {0, 0, 800, 600}},
      {1024, 768, {0, 0, 1024, 768}},
      {1366, 768, {171, 0, 1024, 768}},
      {1920, 1080, {240, 0, 1440, 1080}},
      {1599, 1300, {0, 50, 1599, 1199}},  // short of twice by one pixel
      {1600, 1200, {0, 0, 1600, 1200}},
      {2560, 1440, {480, 120, 1600, 1200}},
      {3840, 2160, {720, 180, 2400, 1800}},
      {640, 480, {0, 0, 640, 480}},
      {600, 1000, {0, 275, 600, 450}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.outW << "x" << c.outH);
    const PictureRect r = FitPicture(c.outW, c.outH, 800, 600);
    EXPECT_EQ(r.x, c.expected.x);
    EXPECT_EQ(r.y, c.expected.y);
    EXPECT_EQ(r.width, c.expected.width);
    EXPECT_EQ(r.height, c.expected.height);
  }
}

TEST(ScreenFailure, AFailedOpeningLeavesNoScreen) {
  headless::Use();
  headless::Failures failures;
  failures.window = true;
  headless::SetFailures(failures);
  EXPECT_EQ(OpenDisplay(800, 600, 32, "Test"), 0);
  EXPECT_FALSE(Screen().open);
  EXPECT_EQ(OpenDisplay(800, 600, 16, "Test"), 0);  // only 32 bits per pixel
  FillScreen(RED);
  FlipScreen();
  CloseDisplay();
  EXPECT_EQ(headless::FramesPresented(), 0);
  std::vector<std::string> expected = {"window failed"};
  EXPECT_EQ(headless::PlatformLog(), expected);
}

TEST_F(ScreenTest, FramesAdvanceTheClockBySixtiethsOfASecond) {
  std::vector<uint32_t> clockAtFrame;
  headless::OnFrame([&](int frame) {
    EXPECT_EQ(frame, int(clockAtFrame.size()) + 1);
    clockAtFrame.push_back(MillisecondClock());
  });
  for (int i = 0; i < 6; i++) FlipScreen();
  EXPECT_EQ(MillisecondClock(), 100u);
  // The callback runs before the frame's own time has passed.
  std::vector<uint32_t> expected = {0, 16, 33, 50, 66, 83};
  EXPECT_EQ(clockAtFrame, expected);
  for (int i = 0; i < 594; i++) FlipScreen();
  EXPECT_EQ(MillisecondClock(), 10000u);  // no drift
  PauseMs(250);
  EXPECT_EQ(MillisecondClock(), 10250u);
  headless::SetClock(0xFFFFFFF0u);
  FlipScreen();
  EXPECT_EQ(MillisecondClock(), 0u);  // 0xFFFFFFF0 + 16 wraps around like a tick count
}

// The SDL backend on SDL's dummy video driver (no vsync there): the timer
// must still hold the frames to 60 a second, never faster.
TEST(SdlScreen, FramesNeverComeFasterThanSixtyASecond) {
  const char* old = std::getenv("SDL_VIDEODRIVER");
  std::string oldDriver = old ? old : "";
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  UseSdlPlatform();
  ASSERT_TRUE(InitPictureSupport());
  ASSERT_TRUE(InitDisplaySupport());
  ASSERT_TRUE(OpenDisplay(800, 600, 32, "Test"));
  FlipScreen();
  const uint32_t start = MillisecondClock();
  for (int i = 0; i < 30; i++) {
    FillScreen(uint32_t(i));
    FlipScreen();
  }
  const uint32_t elapsed = MillisecondClock() - start;
  CloseDisplay();
  headless::Use();
  if (old) setenv("SDL_VIDEODRIVER", oldDriver.c_str(), 1);
  else unsetenv("SDL_VIDEODRIVER");
  EXPECT_GE(elapsed, 495u);  // 30 frames of 16.7 ms
}

}  // namespace
