// A game on the headless screen with plain pictures in every slot, so that
// the tests can tell exactly what touches what: terrain sheets with a solid
// 40 x 40 square at the top left of each 80 x 80 frame, a solid 80 x 40
// craft, solid 40 x 40 objects and an 8 x 8 shot. Each frame of a sheet has
// its own colour, so a drawn frame can be recognised on the screen.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "game/game.h"
#include "media/headless.h"
#include "media/media.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"

namespace gametest {

using testsupport::Bytes;
constexpr uint32_t KEY_COLOUR = 0xFF00FF;  // (255, 0, 255)

// A 32-bit BMP whose pixel (x, y) is colourAt(x, y), 0x00BBGGRR.
inline Bytes PictureBmp(int w, int h, const std::function<uint32_t(int, int)>& colourAt) {
  Bytes b(54);
  b[0] = 'B';
  b[1] = 'M';
  testsupport::Set32(b, 2, uint32_t(54 + 4 * w * h));
  testsupport::Set32(b, 10, 54);
  testsupport::Set32(b, 14, 40);
  testsupport::Set32(b, 18, uint32_t(w));
  testsupport::Set32(b, 22, uint32_t(h));
  testsupport::Set16(b, 26, 1);
  testsupport::Set16(b, 28, 32);
  for (int y = h - 1; y >= 0; y--) {
    for (int x = 0; x < w; x++) {
      uint32_t c = colourAt(x, y);
      b.insert(b.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 0});
    }
  }
  return b;
}

inline void MakeTestPicture(int n, int w, int h, const std::function<uint32_t(int, int)>& colourAt) {
  Bytes bmp = PictureBmp(w, h, colourAt);
  ASSERT_EQ(MakePicture(n, bmp.data(), bmp.size()), 1);
}

// The colour of frame `frame` of sheet picture `picture`.
inline uint32_t FrameColour(int picture, int frame) {
  return PackColor(20 + 10 * picture, 30 + 20 * frame, 200);
}

// A short silent 8-bit mono WAV.
inline Bytes SilentWav() {
  Bytes b;
  auto id = [&b](const char* s) { b.insert(b.end(), s, s + 4); };
  id("RIFF");
  testsupport::Put32(b, 36 + 100);
  id("WAVE");
  id("fmt ");
  testsupport::Put32(b, 16);
  testsupport::Put16(b, 1);  // PCM
  testsupport::Put16(b, 1);
  testsupport::Put32(b, 22050);
  testsupport::Put32(b, 22050);
  testsupport::Put16(b, 1);
  testsupport::Put16(b, 8);
  id("data");
  testsupport::Put32(b, 100);
  b.insert(b.end(), 100, 128);
  return b;
}

class GameTest : public testsupport::HeadlessScreen {
 protected:
  void SetUp() override {
    HeadlessScreen::SetUp();
    ASSERT_EQ(InitKeyboardSupport(), 1);
    ASSERT_EQ(InitMouseSupport(), 1);
    game = GameState{};
    game.soundOff = 1;
    game.tickInterval = 100;
    game.craftHeading = 1;
    game.mapNumber = 1;
    game.lives = 3;
    game.craftSpeed = 4;
    MakePictures();
  }

  static void MakePictures() {
    for (int c = 0; c <= 6; c++) {
      MakeTestPicture(PICTURE_TERRAIN + c, 800, 80, [c](int x, int y) {
        bool solid = c != TERRAIN_EMPTY && x % 80 < 40 && y < 40;
        return solid ? FrameColour(PICTURE_TERRAIN + c, x / 80) : KEY_COLOUR;
      });
    }
    MakeTestPicture(PICTURE_SHOT, 8, 8, [](int, int) { return 0xFFFFFFu; });
    MakeTestPicture(PICTURE_CRAFT, 400, 240, [](int x, int y) { return FrameColour(PICTURE_CRAFT, y / 40 * 5 + x / 80); });
    MakeTestPicture(PICTURE_BACKDROP, 40, 40, [](int, int) { return PackColor(10, 10, 40); });
    MakeTestPicture(PICTURE_OBJECT_NONE, 400, 40, [](int, int) { return KEY_COLOUR; });
    for (int p : {PICTURE_ENEMY, PICTURE_PRISONER})
      MakeTestPicture(p, 400, 40, [p](int x, int) { return FrameColour(p, x / 40); });
    MakeTestPicture(PICTURE_STATUS_PANEL, 800, 160, [](int, int) { return PackColor(200, 200, 200); });
    for (int n : {0, 1, 2, 3, 4, 5, 6, 8, 10, 11, 12, 15}) SetPictureKey(n, KEY_COLOUR);
  }

  // Sound on, with a silent sound in every sound slot, so that every start
  // and halt is recorded.
  static void EnableSound() {
    ASSERT_EQ(InitSoundSupport(), 1);
    Bytes wav = SilentWav();
    for (int n = SOUND_INGAME; n <= SOUND_FIRE; n++) ASSERT_EQ(MakeSound(n, wav.data(), wav.size()), 1);
    game.soundOff = 0;
    headless::ClearSoundEvents();
  }
  static int SoundStarts(int sound) {
    int starts = 0;
    for (const headless::SoundEvent& e : headless::SoundEvents()) starts += e.start && e.sound == sound;
    return starts;
  }

  // Empty lists and layers, as a level of nothing but the given cells.
  static void ClearWorld() { CreateWorld(); }

  static void HoldKeys(std::initializer_list<int> keys) {
    headless::ReleaseAllKeys();
    for (int k : keys) headless::HoldKey(k, true);
    ReadKeyboard();
  }

  // The frame loop's steps from the keyboard to the collisions, as one pass
  // runs them, without clearing or presenting the screen.
  static void PlayStep(std::initializer_list<int> keys) {
    HoldKeys(keys);
    ControlCraft();
    SinkCraft();
    LimitPositions();
    ExplodeAndRespawn();
    DrawWorld();
    DrawCraft();
    ResolveCollisions();
  }
};

}  // namespace gametest
