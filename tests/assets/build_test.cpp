// The packs are reproducible, and every entry is accepted by the media layer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "media/headless.h"
#include "media/media.h"
#include "pack_image.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

using testsupport::ReadFileBytes;

struct TempDir {
  fs::path path;
  explicit TempDir(const std::string& name) : path(fs::temp_directory_path() / "vantor-assets-") {
    path += std::to_string(getpid()) + "-" + name;
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
};

int RunCommand(const std::string& command) { return std::system(command.c_str()); }

std::vector<fs::path> FilesIn(const fs::path& dir) {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(dir)) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

// A fresh run of the generator gives the same bytes as the run of the build,
// entry by entry, and packing them gives the same packs.
TEST(AssetBuild, IsDeterministic) {
  TempDir dir("fresh");
  ASSERT_EQ(RunCommand(VANTOR_BIN_DIR "/assetgen " + dir.path.string()), 0);
  const struct {
    const char* pack;
    const char* part;
    size_t entries;
  } packs[] = {{"vantor.pak", "game", 23}, {"vantoredit.pak", "editor", 6}};
  for (const auto& p : packs) {
    const fs::path built = fs::path(VANTOR_RUN_DIR) / p.pack;
    std::vector<fs::path> files = FilesIn(dir.path / p.part);
    ASSERT_EQ(files.size(), p.entries) << p.part;
    std::vector<Bytes> entries = ReadPackEntries(built.string());
    ASSERT_EQ(entries.size(), p.entries) << p.pack;
    std::string command = VANTOR_BIN_DIR "/vantorpak build " + (dir.path / p.pack).string();
    for (size_t i = 0; i < files.size(); ++i) {
      EXPECT_TRUE(ReadFileBytes(files[i]) == entries[i]) << p.pack << " entry " << i + 1 << " differs";
      command += ' ';
      command += files[i].string();
    }
    ASSERT_EQ(RunCommand(command + " >/dev/null"), 0);
    EXPECT_TRUE(ReadFileBytes(dir.path / p.pack) == ReadFileBytes(built))
        << p.pack << " differs from a fresh build";
  }
}

// Loads both packs the way the two programs do.
TEST(AssetBuild, MediaLayerAcceptsEveryEntry) {
  headless::Use();
  ASSERT_NE(OpenDisplay(800, 600, 32, "T"), 0);
  ASSERT_NE(InitSoundSupport(), 0);
  std::vector<Bytes> game = ReadPackEntries(VANTOR_RUN_DIR "/vantor.pak");
  ASSERT_EQ(game.size(), 23u);
  for (int slot = 0; slot <= 16; ++slot)
    EXPECT_EQ(MakePicture(slot, game[slot].data(), game[slot].size()), 1) << "picture " << slot;
  EXPECT_EQ(MakePictureAs(17, game[17].data(), game[17].size(), PICTURE_MODE_BLEND_SOURCE), 1);
  EXPECT_EQ(MakeBlendPicture(23, 17), 1);
  for (int slot = 18; slot <= 22; ++slot) {
    EXPECT_EQ(MakeSound(slot, game[slot].data(), game[slot].size()), 1) << "sound " << slot;
    EXPECT_FALSE(headless::SoundSamples(slot).empty()) << "sound " << slot;
  }
  std::vector<Bytes> editor = ReadPackEntries(VANTOR_RUN_DIR "/vantoredit.pak");
  ASSERT_EQ(editor.size(), 6u);
  for (int slot = 0; slot <= 5; ++slot)
    EXPECT_EQ(MakePicture(slot, editor[slot].data(), editor[slot].size()), 1) << "editor picture " << slot;
}

// What the editor shows at start-up: the title, and the pointer keyed over it
// with its tip on the mouse position.
TEST(AssetBuild, EditorPointerDrawsItsTipAtTheMouse) {
  headless::Use();
  ASSERT_NE(OpenDisplay(800, 600, 32, "T"), 0);
  std::vector<Bytes> editor = ReadPackEntries(VANTOR_RUN_DIR "/vantoredit.pak");
  ASSERT_EQ(editor.size(), 6u);
  for (int slot = 0; slot <= 5; ++slot) MakePicture(slot, editor[slot].data(), editor[slot].size());
  SetPictureKey(0, PackColor(255, 0, 255));
  FillScreen(0);
  DrawPicture(5, 0, 0);
  DrawPictureKeyed(0, 400, 300);
  FlipScreen();
  const std::vector<uint32_t>& frame = headless::LastFrame();
  Image pointer;
  ASSERT_TRUE(DecodeBmp24(editor[0], pointer));
  EXPECT_EQ(frame[300 * 800 + 400], pointer.At(0, 0));
  // Where the pointer is clear, the title shows through.
  Image title;
  ASSERT_TRUE(DecodeBmp24(editor[5], title));
  int x = pointer.width - 1;
  EXPECT_EQ(frame[300 * 800 + 400 + x], title.At(400 + x, 300));
}

}  // namespace
