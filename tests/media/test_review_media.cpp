// Media edge cases: one-pixel boxes in invert mode, colour values with bits
// above blue, failed blend-picture makes and out-of-range sound numbers.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "support/screen_pixels.h"
#include "support/test_support.h"

namespace {

using namespace testsupport;
using Bytes = std::vector<uint8_t>;

// A w x h 24-bit BMP of one colour (0x00BBGGRR).
Bytes SolidBmp(int w, int h, uint32_t color) {
  const size_t stride = (size_t(w) * 3 + 3) / 4 * 4;
  Bytes b(54 + stride * h, 0);
  b[0] = 'B';
  b[1] = 'M';
  Set32(b, 2, uint32_t(b.size()));
  Set32(b, 10, 54);
  Set32(b, 14, 40);
  Set32(b, 18, uint32_t(w));
  Set32(b, 22, uint32_t(h));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &b[54 + y * stride + 3 * x];
      p[0] = uint8_t(color >> 16);
      p[1] = uint8_t(color >> 8);
      p[2] = uint8_t(color);
    }
  return b;
}

// A short 8-bit mono PCM WAVE image.
Bytes TinyWave() {
  Bytes b(44 + 8, 0x80);
  const char* ids[] = {"RIFF", "WAVE", "fmt ", "data"};
  const size_t at[] = {0, 8, 12, 36};
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 4; ++k) b[at[i] + k] = uint8_t(ids[i][k]);
  Set32(b, 4, uint32_t(b.size() - 8));
  Set32(b, 16, 16);
  Set32(b, 20, 1 | 1 << 16);  // PCM, one channel
  Set32(b, 24, 22050);
  Set32(b, 28, 22050);
  Set32(b, 32, 1 | 8 << 16);  // block alignment 1, 8 bits
  Set32(b, 40, 8);
  return b;
}

class ReviewMedia : public HeadlessScreen {};

TEST_F(ReviewMedia, OnePixelBoxSetsItsColourEvenWhenInverting) {
  ASSERT_NE(BeginDrawing(ScreenCanvas()), 0);
  Clear(GREEN);
  SetDrawingMode(2);
  DrawBox(10, 10, 1, 1, RED);
  EXPECT_EQ(At(10, 10), RED);
  DrawBox(20, 20, 2, 1, RED);  // larger boxes still invert
  EXPECT_EQ(At(20, 20), GREEN ^ 0xFFFFFFu);
  EXPECT_EQ(At(21, 20), GREEN ^ 0xFFFFFFu);
  EndDrawing();
}

TEST_F(ReviewMedia, FilledScreenPixelsKeepTheFourthByteZero) {
  FillScreen(PackColor(255, 0, 256));  // blue overflows into the fourth byte
  EXPECT_EQ(At(0, 0), 0x0000FFu);
  EXPECT_EQ(At(W - 1, H - 1), 0x0000FFu);
  FlipScreen();
  EXPECT_EQ(headless::LastFrame()[0], 0x0000FFu);
}

TEST_F(ReviewMedia, FailedBlendMakeLeavesTheOlderBlendPicture) {
  const Bytes red = SolidBmp(2, 2, RED);
  ASSERT_NE(MakePicture(1, red.data(), red.size()), 0);
  ASSERT_NE(MakePictureAs(2, red.data(), red.size(), PICTURE_MODE_BLEND_SOURCE), 0);
  ASSERT_NE(MakeBlendPicture(0, 2), 0);
  EXPECT_EQ(MakeBlendPicture(0, 9), 0);  // no picture 9
  EXPECT_EQ(MakeBlendPicture(0, 1), 0);  // picture 1 is no blend source

  Clear(0);
  ASSERT_NE(BeginBlendDrawing(), 0);
  DrawBlendPicture(0, 5, 5, 255);
  EndBlendDrawing();
  EXPECT_EQ(At(5, 5), RED);
  EXPECT_EQ(At(6, 6), RED);
}

TEST_F(ReviewMedia, SoundNumbersBeyondTheCapAreRefused) {
  ASSERT_NE(InitSoundSupport(), 0);
  const Bytes wave = TinyWave();
  EXPECT_EQ(MakeSound(65535, wave.data(), wave.size()), 1);
  EXPECT_EQ(MakeSound(65536, wave.data(), wave.size()), 0);
  EXPECT_EQ(MakeSound(INT_MAX, wave.data(), wave.size()), 0);
  EXPECT_EQ(StartSound(INT_MAX, 0), 0);
  EXPECT_NE(StartSound(65535, 0), 0);
}

}  // namespace
