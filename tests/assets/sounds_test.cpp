// The sounds of the game's pack: valid images, audible, unclipped, and the
// looped and restarted ones free of clicks where they join.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "pack_image.h"

namespace {

constexpr int INGAME = 0, HELP_MUSIC = 1, TITLE_MUSIC = 2, EXPLOSION = 3, FIRE = 4;
const char* const NAMES[5] = {"in-game hum", "help music", "title music", "explosion", "fire"};

std::vector<Wave> GameSounds() {
  std::vector<Bytes> entries = ReadPackEntries(VANTOR_RUN_DIR "/vantor.pak");
  if (entries.size() < 23) {
    ADD_FAILURE() << "vantor.pak has " << entries.size() << " entries";
    return {};
  }
  std::vector<Wave> sounds(5);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(DecodeWav16(entries[18 + size_t(i)], sounds[i])) << NAMES[i];
  return sounds;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(to - from));
}

// Root mean square of the sample-to-sample steps: how far the wave usually moves.
double TypicalStep(const std::vector<int16_t>& s) {
  double sum = 0;
  for (size_t i = 1; i < s.size(); ++i) sum += double(s[i] - s[i - 1]) * (s[i] - s[i - 1]);
  return std::sqrt(sum / double(s.size() - 1));
}

TEST(GameSounds, ValidAudibleAndUnclipped) {
  std::vector<Wave> sounds = GameSounds();
  ASSERT_EQ(sounds.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    const Wave& w = sounds[i];
    EXPECT_EQ(w.channels, 1) << NAMES[i];
    EXPECT_EQ(w.rate, 22050) << NAMES[i];
    ASSERT_GT(w.samples.size(), 2000u) << NAMES[i];
    int peak = 0;
    for (int16_t s : w.samples) peak = std::max(peak, std::abs(int(s)));
    EXPECT_LT(peak, 32767) << NAMES[i] << " clips";
    EXPECT_GT(peak, 6000) << NAMES[i] << " is too quiet";
    EXPECT_GT(Rms(w.samples, 0, w.samples.size()), 1000) << NAMES[i];
    // Every sound starts from silence; the one-shots also end there.
    EXPECT_LT(std::abs(w.samples.front()), 300) << NAMES[i];
    if (i == INGAME || i == EXPLOSION || i == FIRE) {
      EXPECT_LT(std::abs(w.samples.back()), 300) << NAMES[i];
    }
  }
  // The music loops are several seconds long, the effects short.
  for (int i : {HELP_MUSIC, TITLE_MUSIC}) EXPECT_GE(sounds[i].samples.size(), 8u * 22050) << NAMES[i];
  for (int i : {INGAME, EXPLOSION, FIRE}) EXPECT_LE(sounds[i].samples.size(), 2u * 22050) << NAMES[i];
}

// The music loops play on without a step at the loop point and without an offset.
TEST(GameSounds, MusicLoopsJoinSmoothly) {
  std::vector<Wave> sounds = GameSounds();
  ASSERT_EQ(sounds.size(), 5u);
  for (int i : {HELP_MUSIC, TITLE_MUSIC}) {
    const std::vector<int16_t>& s = sounds[i].samples;
    double joint = std::abs(s.back() - s.front());
    EXPECT_LT(joint, 3 * TypicalStep(s)) << NAMES[i];
    double mean = 0;
    for (int16_t v : s) mean += v;
    EXPECT_LT(std::fabs(mean / double(s.size())), 50) << NAMES[i];
  }
}

// The hum is restarted every frame, so its first 1/60 s is what is heard:
// that part must carry sound and end as quietly as it begins.
TEST(GameSounds, InGameHumRestartsWithoutClicks) {
  std::vector<Wave> sounds = GameSounds();
  ASSERT_EQ(sounds.size(), 5u);
  const std::vector<int16_t>& s = sounds[INGAME].samples;
  const size_t frame = 22050 / 60;  // 367 samples
  ASSERT_GT(s.size(), 2 * frame);
  EXPECT_GT(Rms(s, 0, frame), 1500);
  // Around the end of a frame (15.5 to 17.5 ms) the hum is nearly silent.
  int loudest = 0;
  for (size_t i = 342; i <= 386; ++i) loudest = std::max(loudest, std::abs(int(s[i])));
  EXPECT_LT(loudest, 1200);
}

}  // namespace
