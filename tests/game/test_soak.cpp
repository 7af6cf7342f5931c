// A soak: random keys for many frames across title, play, deaths, completed
// maps, end screens and new games, with memory and the lists staying flat.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/replay_run.h"
#include "support/test_support.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
// Under the sanitizers every frame costs many times more, and freed memory
// waits in the sanitizer's quarantine, so the process grows whatever the
// game does: memory is compared only in the normal build. The million-frame
// soak under the sanitizers is run by hand.
constexpr int LONG_SOAK = 10000;
constexpr bool COMPARE_MEMORY = false;
#else
constexpr int LONG_SOAK = 50000;
constexpr bool COMPARE_MEMORY = true;
#endif

class Soak : public ::testing::Test {
 protected:
  std::string dir;

  // The built maps, copied (the game may write an own map); the own map is map 1.
  void SetUp() override {
    dir = testsupport::MakeTempFolder();
    ASSERT_FALSE(dir.empty());
    namespace fs = std::filesystem;
    fs::create_symlink(VANTOR_RUN_DIR "/vantor.pak", dir + "/vantor.pak");
    fs::create_directory(dir + "/maps");
    for (const char* name : {"map 1.map", "map 2.map", "map 3.map"}) {
      ASSERT_TRUE(fs::exists(std::string(VANTOR_RUN_DIR "/maps/") + name)) << name;
      fs::copy_file(std::string(VANTOR_RUN_DIR "/maps/") + name, dir + "/maps/" + name);
    }
    fs::copy_file(dir + "/maps/map 1.map", dir + "/maps/own .map");
  }
  void TearDown() override { testsupport::RemoveTempFolder(dir); }
};

TEST_F(Soak, RandomPlayKeepsMemoryAndListsFlat) {
  auto run = [this](int frames) {
    return testsupport::RunReplayArgs(dir, "--random 2026 --frames " + std::to_string(frames));
  };
  testsupport::ReplayRun shortRun = run(LONG_SOAK / 10);
  testsupport::ReplayRun longRun = run(LONG_SOAK);
  ASSERT_EQ(longRun.exitCode, 0) << longRun.err;
  EXPECT_EQ(longRun.values["ended"], "no");
  EXPECT_EQ(longRun.Int("frames"), LONG_SOAK);
  // It went through deaths and whole games (random flying crashes about
  // once in a thousand frames).
  EXPECT_GE(longRun.Int("explosions"), LONG_SOAK / 2000);
  EXPECT_GE(longRun.Int("gamesOver"), 1);
  // Ten times the frames, the same memory give or take a few pages.
  if (COMPARE_MEMORY) {
    EXPECT_LT(longRun.Int("maxRssKiB") - shortRun.Int("maxRssKiB"), 2048);
  }
  EXPECT_LE(longRun.Int("terrainItems"), 2000);
  EXPECT_LE(longRun.Int("objectItems"), 2000);
  EXPECT_LE(longRun.Int("backdropItems"), 936);
  EXPECT_LT(longRun.Int("shots"), 50);
  EXPECT_LT(longRun.Int("rockets"), 500);
}

}  // namespace
