// The start-up checks, the message box and the shut-down order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "media/headless.h"
#include "media/internal.h"
#include "media/media.h"

namespace {

using Log = std::vector<std::string>;

// Where in the platform log the asset pack closer ran.
size_t closerRanAt = 0;
int closerCalls = 0;
void RecordAssetPackClose() {
  closerRanAt = headless::PlatformLog().size();
  closerCalls++;
}

int EndProgram() {
  try {
    ProgramEnd();
  } catch (const headless::ProgramEnded& end) {
    return end.exitCode;
  }
  ADD_FAILURE() << "ProgramEnd returned";
  return -1;
}

void StartEverything() {
  ASSERT_TRUE(InitPictureSupport());
  ASSERT_TRUE(InitDisplaySupport());
  ASSERT_TRUE(InitKeyboardSupport());
  ASSERT_TRUE(InitBlendSupport());
  ASSERT_TRUE(InitMouseSupport());
  ASSERT_TRUE(InitSoundSupport());
  ASSERT_TRUE(OpenDisplay(800, 600, 32, "Test"));
}

TEST(MessageBoxTest, AnswersInOrderAndTheFirstButtonWhenNoneIsQueued) {
  headless::Use();
  EXPECT_EQ(ShowMessageBox("Soundkarte gefunden", "Sound aktivieren ?", 4), 6);
  headless::QueueAnswer(7);
  headless::QueueAnswer(6);
  EXPECT_EQ(ShowMessageBox("Soundkarte gefunden", "Sound aktivieren ?", 4), 7);
  EXPECT_EQ(ShowMessageBox("Soundkarte gefunden", "Sound aktivieren ?", 4), 6);
  EXPECT_EQ(ShowMessageBox("Fehler", "Kann Datei nicht öffnen", 0), 1);
  const auto& boxes = headless::MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].title, "Soundkarte gefunden");
  EXPECT_EQ(boxes[0].text, "Sound aktivieren ?");
  EXPECT_EQ(boxes[0].flags, 4);
  EXPECT_EQ(boxes[3].title, "Fehler");
  EXPECT_EQ(boxes[3].text, "Kann Datei nicht öffnen");
  EXPECT_EQ(boxes[3].flags, 0);
  headless::Use();
  EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST(StartupChecks, ReportFailuresAndOpenOnlyWhatSucceeded) {
  headless::Use();
  headless::Failures failures;
  failures.keyboard = true;
  failures.sound = true;
  headless::SetFailures(failures);
  EXPECT_EQ(InitPictureSupport(), 1);
  EXPECT_EQ(InitDisplaySupport(), 1);
  EXPECT_EQ(InitKeyboardSupport(), 0);
  EXPECT_EQ(InitMouseSupport(), 1);
  EXPECT_EQ(InitSoundSupport(), 0);
  EXPECT_EQ(SoundOutput(), nullptr);
  Log expected = {"video", "display object", "keyboard failed", "mouse", "audio failed"};
  EXPECT_EQ(headless::PlatformLog(), expected);
}

TEST(StartupChecks, SoundOutputIsKnownWhileOpen) {
  headless::Use();
  ASSERT_TRUE(InitSoundSupport());
  const AudioOutput* out = SoundOutput();
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->frequency, 44100);
  EXPECT_EQ(out->channels, 2);
  EXPECT_EQ(out->format, 0x8010);
  CloseSound();
  EXPECT_EQ(SoundOutput(), nullptr);
  CloseSound();
  Log expected = {"audio", "close audio"};
  EXPECT_EQ(headless::PlatformLog(), expected);
}

TEST(ShutDown, ClosesEverythingInTheFixedOrder) {
  headless::Use();
  closerCalls = 0;
  SetAssetPackCloser(RecordAssetPackClose);
  StartEverything();
  size_t opened = headless::PlatformLog().size();
  EXPECT_EQ(EndProgram(), 0);
  Log closes(headless::PlatformLog().begin() + long(opened), headless::PlatformLog().end());
  Log expected = {"close audio", "close display object", "close mouse", "close window", "close keyboard"};
  EXPECT_EQ(closes, expected);
  EXPECT_EQ(closerCalls, 1);
  EXPECT_EQ(closerRanAt, opened + 2);  // after the display object, before the mouse
  EXPECT_FALSE(Screen().open);
}

TEST(ShutDown, ClosesNothingThatWasNotOpened) {
  headless::Use();
  EXPECT_EQ(EndProgram(), 0);
  EXPECT_TRUE(headless::PlatformLog().empty());

  headless::Use();
  headless::Failures failures;
  failures.renderer = true;
  headless::SetFailures(failures);
  InitPictureSupport();
  InitDisplaySupport();
  InitKeyboardSupport();
  EXPECT_EQ(InitBlendSupport(), 0);
  EXPECT_EQ(EndProgram(), 0);
  Log expected = {"video", "display object", "keyboard", "renderer failed", "close display object",
                  "close keyboard"};
  EXPECT_EQ(headless::PlatformLog(), expected);
}

TEST(ShutDown, EveryCloseIsSafeTwice) {
  headless::Use();
  StartEverything();
  for (int round = 0; round < 2; round++) {
    FreeBlendPictures();
    CloseSound();
    CloseDisplaySupport();
    CloseMouse();
    CloseDisplay();
    CloseKeyboard();
    CloseAllFiles();
  }
  EXPECT_EQ(headless::PlatformLog().size(), 7u + 5u);
  EXPECT_EQ(EndProgram(), 0);
  EXPECT_EQ(headless::PlatformLog().size(), 7u + 5u);
}

// Where no box can be shown the message still reaches the user.
TEST(SdlMessageBox, WithoutADisplayTheMessageGoesToStandardError) {
  std::vector<std::pair<const char*, std::string>> saved;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
    const char* value = std::getenv(name);
    if (value) saved.emplace_back(name, value);
    unsetenv(name);
  }
  UseSdlPlatform();
  testing::internal::CaptureStderr();
  const int yes = ShowMessageBox("Soundkarte gefunden", "Sound aktivieren ?", 4);
  const int ok = ShowMessageBox("Fehler", "Keine Maus gefunden", 0);
  const std::string err = testing::internal::GetCapturedStderr();
  headless::Use();
  for (const auto& [name, value] : saved) setenv(name, value.c_str(), 1);
  EXPECT_EQ(yes, 6);
  EXPECT_EQ(ok, 1);
  EXPECT_NE(err.find("Soundkarte gefunden: Sound aktivieren ?"), std::string::npos) << err;
  EXPECT_NE(err.find("Fehler: Keine Maus gefunden"), std::string::npos) << err;
}

}  // namespace
