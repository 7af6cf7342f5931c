// The start-up checks, the message box and the one way out of a program.
#include <cstdlib>

#include "media/internal.h"
#include "media/media.h"
#include "media/platform.h"

namespace {

struct StartupState {
  bool video = false;
  bool displayObject = false;
  bool renderer = false;
  bool soundOpen = false;
  AudioOutput soundOutput;
  void (*assetPackCloser)() = nullptr;
};

StartupState startup;

}  // namespace

int InitPictureSupport() {
  if (!startup.video) startup.video = CurrentPlatform().InitVideo();
  return startup.video ? 1 : 0;
}

int InitDisplaySupport() {
  if (!startup.displayObject) startup.displayObject = CurrentPlatform().InitDisplayObject();
  return startup.displayObject ? 1 : 0;
}

int InitBlendSupport() {
  if (!startup.renderer) startup.renderer = CurrentPlatform().InitRenderer();
  return startup.renderer ? 1 : 0;
}

int InitSoundSupport() {
  if (!startup.soundOpen) startup.soundOpen = CurrentPlatform().OpenAudio(startup.soundOutput);
  return startup.soundOpen ? 1 : 0;
}

const AudioOutput* SoundOutput() { return startup.soundOpen ? &startup.soundOutput : nullptr; }

void CloseSoundOutput() {
  startup.soundOpen = false;
  startup.soundOutput = AudioOutput{};
}

void CloseDisplaySupport() {
  if (!startup.displayObject) return;
  CurrentPlatform().CloseDisplayObject();
  startup.displayObject = false;
}

// A box closed without an answer gives the answer of Escape (No, or OK)
// and leaves a close request for the program.
int ShowMessageBox(const char* title, const char* text, int flags) {
  const int pressed = CurrentPlatform().MessageBox(title ? title : "", text ? text : "", flags);
  if (pressed != 0) return pressed;
  NoteCloseRequest();
  return (flags & 4) ? 7 : 1;
}

void SetAssetPackCloser(void (*closer)()) { startup.assetPackCloser = closer; }

void ProgramEnd() {
  FreeBlendPictures();
  CloseSound();
  CloseDisplaySupport();
  if (startup.assetPackCloser) startup.assetPackCloser();
  CloseMouse();
  CloseDisplay();
  CloseKeyboard();
  CloseAllFiles();
  CurrentPlatform().Exit(0);
  std::abort();  // Exit does not return; the compiler cannot see through the virtual call
}

void ResetStartupState() { startup = StartupState{}; }
